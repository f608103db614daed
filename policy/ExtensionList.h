#pragma once

// One extension list: the extensions (Shift_JIS, without the leading dot) and, beside each,
// its description, in stored order. The order carries no meaning for any test.

#include <cstddef>
#include <string>
#include <vector>

class CExtensionList {
public:
    CExtensionList() = default;
    // descriptions is cut or padded with empty texts to the length of extensions.
    CExtensionList(std::vector<std::string> extensions, std::vector<std::string> descriptions);

    void Add(std::string strExtension, std::string strDescription = {});
    void RemoveAll();

    std::size_t GetCount() const { return m_arrExtensions.size(); }
    bool IsEmpty() const { return m_arrExtensions.empty(); }

    // Parallel arrays of the same length: description i belongs to extension i.
    const std::vector<std::string>& GetExtensions() const { return m_arrExtensions; }
    const std::vector<std::string>& GetDescriptions() const { return m_arrDescriptions; }

    bool operator==(const CExtensionList&) const = default;

private:
    std::vector<std::string> m_arrExtensions;
    std::vector<std::string> m_arrDescriptions;
};
