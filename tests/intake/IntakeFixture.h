#pragma once

// A data folder in a scratch folder, an intake on it and a window for its drops.

#include "intake/DropDoubles.h"
#include "intake/MailIntake.h"
#include "intake/MessageCopyName.h"
#include "platform/FileSystem.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace test {

class IntakeFixture : public ::testing::Test {
protected:
    std::string DataFolder() const { return m_scratch.Path() + "\\"; }
    std::string InData(const std::string& name) const { return DataFolder() + name; }

    // The names in the data folder; folders end with "/".
    std::set<std::string> Files() const {
        std::set<std::string> names;
        std::vector<platform::FoundEntry> entries;
        platform::FindEntries(DataFolder() + "*.*", entries);
        for (const platform::FoundEntry& entry : entries) {
            names.insert(entry.name + (entry.isFolder ? "/" : ""));
        }
        return names;
    }

    bool Drop(IDroppedData& data, DropPoint point = {30, 40}) {
        return m_intake.OnDrop(m_host, data, point);
    }

    ScratchFolder m_scratch;
    CMailIntake m_intake{DataFolder()};
    FakeDropHost m_host;
};

}  // namespace test
