#pragma once

// The decisions taken from the extension lists and from the two fixed sets that guard them.

#include "policy/ExtensionList.h"

#include <string>
#include <string_view>

// Extensions that can never be put on the allowed list and are never opened, whatever the
// allowed list says, as a comma-delimited token text. Its first four pieces are the
// original set; joining them puts ",," between exe and hlp, which makes the empty extension
// dangerous too. The pieces after them are the carriers added to the default prohibited list
// later, in its order.
inline constexpr char DangerousExtensions[] =
    ",ade,adp,bas,bat,btm,chm,cmd,com,cpl,crt,css,dll,exe,"
    ",hlp,hta,inf,ins,isp,js,jse,lnk,mdb,mde,msc,msi,msp,mst,"
    "nls,pcd,pif,reg,scr,sct,shb,shs,url,vb,vba,vbe,vbs,wsc,"
    "wsf,wsh,htm,html,"
    "iso,img,vhd,vhdx,ps1,psm1,psd1,ps1xml,psc1,jar,jnlp,"
    "appx,appxbundle,msix,msixbundle,appinstaller,application,appref-ms,msu,"
    "settingcontent-ms,library-ms,search-ms,scf,website,wsb,one,xll,diagcab,"
    "gadget,ws,msh,msh1,msh2,mshxml,msh1xml,msh2xml,"
    "svg,mht,mhtml,xhtml,rdp,searchconnector-ms,theme,themepack,";

// Extensions that can never be put on the prohibited list, as a comma-delimited token text.
inline constexpr char NeverProhibitedExtensions[] = ",txt,jpg,jpeg,gif,png,";

// True when ext, in lower case, is in DangerousExtensions; the empty extension is.
bool IsDangerousExtension(std::string_view ext);

// True when ext, in lower case, is in NeverProhibitedExtensions; the empty extension is not.
bool IsNeverProhibitedExtension(std::string_view ext);

// True when the text after the last period of outputPath equals an entry of the prohibited
// list, ignoring the case of ASCII letters. A path without a period is not prohibited.
bool IsProhibitedName(std::string_view outputPath, const CExtensionList& prohibitedList);

enum class OpenVerdict {
    Openable,
    Dangerous,
    NotAllowed,
};

// Whether an attachment with extension ext (the text after the last period of its name,
// empty for a name without one or for a folder) may be opened. Allowed entries are compared
// as stored, so an entry with capital letters matches nothing.
OpenVerdict CheckOpen(std::string_view ext, const CExtensionList& allowedList);

// text without its leading and trailing single-byte white space (space, tab, CR, LF, VT,
// FF). A full-width space is not white space here.
std::string TrimSpace(std::string_view text);
