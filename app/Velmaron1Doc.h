#pragma once

// The document of the single-document model. It exists because the model needs one: it
// holds no data, reads and writes no file, and is never modified, so closing the
// application never asks whether to save. The attachment list belongs to the list view.

class CVelmaron1Doc {
public:
    CVelmaron1Doc() = default;
    virtual ~CVelmaron1Doc() = default;
    CVelmaron1Doc(const CVelmaron1Doc&) = delete;
    CVelmaron1Doc& operator=(const CVelmaron1Doc&) = delete;

    // A new document always succeeds: there is nothing to set up.
    virtual bool OnNewDocument() { return true; }

    bool IsModified() const { return false; }
};
