#include "ProgramSearch.h"

#include <algorithm>

namespace sorvane {

namespace {

bool IsFullPath(std::u16string_view folder) {
    return (folder.size() >= 3 && folder[1] == u':' && (folder[2] == u'\\' || folder[2] == u'/')) ||
           folder.substr(0, 2) == u"\\\\";
}

} // namespace

std::vector<std::u16string> SearchFolders(std::vector<std::u16string> folders,
                                          std::u16string_view path) {
    std::u16string entry;
    bool quoted = false;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == u';' && !quoted)) {
            folders.push_back(entry);
            entry.clear();
        } else if (path[i] == u'"') {
            quoted = !quoted;
        } else {
            entry += path[i];
        }
    }
    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                 [](const std::u16string& folder) { return !IsFullPath(folder); }),
                  folders.end());
    for (std::u16string& folder : folders) {
        if (folder.back() != u'\\' && folder.back() != u'/') {
            folder += u'\\';
        }
    }
    return folders;
}

} // namespace sorvane
