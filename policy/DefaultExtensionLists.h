#pragma once

// The contents of the list files at the first start, in the order they are written (the
// settings dialog sorts them only for display).

#include "policy/ExtensionList.h"

// 22 entries, avi to zip, with their descriptions; eml is not among them.
CExtensionList DefaultAllowedList();

// The dangerous extensions with their descriptions: the original 45, ade to html, then the
// 36 carriers added later, iso to msh2xml, then 8 more, svg to themepack.
CExtensionList DefaultProhibitedList();
