#pragma once

// A body writer's output kept in memory.

#include "engine/mime/ByteSink.h"

#include <string>

class CStringSink : public CByteSink {
public:
    bool Write(const char* data, std::size_t size) override {
        m_strData.append(data, size);
        return true;
    }
    const std::string& GetData() const { return m_strData; }

private:
    std::string m_strData;
};
