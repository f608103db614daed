#include "policy/ExtensionList.h"

#include <utility>

CExtensionList::CExtensionList(std::vector<std::string> extensions,
                               std::vector<std::string> descriptions)
    : m_arrExtensions(std::move(extensions)), m_arrDescriptions(std::move(descriptions)) {
    m_arrDescriptions.resize(m_arrExtensions.size());
}

void CExtensionList::Add(std::string strExtension, std::string strDescription) {
    m_arrExtensions.push_back(std::move(strExtension));
    m_arrDescriptions.push_back(std::move(strDescription));
}

void CExtensionList::RemoveAll() {
    m_arrExtensions.clear();
    m_arrDescriptions.clear();
}
