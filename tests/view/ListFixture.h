#pragma once

// A store of records on disk with the list's layout, selection and commands over it, for the
// tests of the attachment list's decisions.

#include "support/ScratchFolder.h"
#include "view/ListCommands.h"
#include "view/ListLayout.h"
#include "view/ListSelection.h"
#include "store/RecordStore.h"
#include "store/StoreFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace test {

class ListFixture : public ::testing::Test {
protected:
    std::string D() const { return m_scratch.Path() + "\\"; }
    std::string Att(const std::string& name) const { return D() + name + ".att"; }

    // Records on disk, listed in the order given (the first at the top), the first one open
    // with its row selected, the scroll extent set and the client area clientHeight high.
    void MakeStore(const std::vector<std::pair<std::string, std::vector<std::string>>>& records,
                   int clientHeight = 1000) {
        for (const auto& [name, files] : records) {
            MakeRecord(D(), name, files);
            m_store.m_arrRecords.push_back(Att(name));
        }
        m_store.OpenFirstRecord();
        SortAttachments();
        m_layout.SetClientSize({800, clientHeight});
        m_layout.SetScrollExtent();
        m_layout.TakeUpdate();
    }

    // Opens record i (row selected, attachments sorted by name so that tests can count on
    // their order).
    void Open(std::size_t i) {
        m_store.OpenRecordAt(i);
        m_store.m_bRecordRowSelected = true;
        SortAttachments();
        m_layout.SetScrollExtent();
        m_layout.TakeUpdate();
    }

    void SortAttachments() {
        std::sort(m_store.m_arrAttachments.begin(), m_store.m_arrAttachments.end());
    }

    // Sets exactly the given attachment flags, the record row not selected.
    void Select(const std::vector<int>& indexes) {
        m_store.m_bRecordRowSelected = false;
        std::fill(m_store.m_arrSelected.begin(), m_store.m_arrSelected.end(), 0);
        for (int j : indexes) {
            m_store.m_arrSelected[static_cast<std::size_t>(j)] = 1;
        }
    }

    std::vector<int> Selected() const {
        std::vector<int> indexes;
        for (std::size_t k = 0; k < m_store.m_arrSelected.size(); ++k) {
            if (m_store.m_arrSelected[k] != 0) {
                indexes.push_back(static_cast<int>(k));
            }
        }
        return indexes;
    }

    // The client point in the middle of row r at x (scrolled to the top).
    static list::Point RowPoint(int row, int x = 100) { return {x, row * 38 + 19}; }

    ScratchFolder m_scratch;
    CRecordStore m_store{D()};
    CListLayout m_layout{m_store};
    CListSelection m_selection{m_store, m_layout};
    CListCommands m_commands{m_store, m_layout, m_selection};
};

}  // namespace test
