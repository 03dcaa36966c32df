#include "ProgramSearch.h"

#include <algorithm>

namespace sorvane {

namespace {

bool IsFullPath(std::u16string_view folder) {
    return (folder.size() >= 3 && folder[1] == u':' && (folder[2] == u'\\' || folder[2] == u'/')) ||
           folder.substr(0, 2) == u"\\\\";
}

// The text without the blanks, line ends and byte order mark around it.
std::u16string_view Trim(std::u16string_view text) {
    constexpr std::u16string_view blanks = u" \t\r\n\uFEFF";
    const std::size_t start = std::min(text.find_first_not_of(blanks), text.size());
    return text.substr(start, text.find_last_not_of(blanks) + 1 - start);
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

std::u16string ShimTarget(std::u16string_view shim) {
    for (std::size_t at = 0; at < shim.size();) {
        const std::size_t end = std::min(shim.find(u'\n', at), shim.size());
        const std::u16string_view line = shim.substr(at, end - at);
        at = end + 1;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos || Trim(line.substr(0, equals)) != u"path") {
            continue;
        }
        std::u16string_view value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
            value = value.substr(1, value.size() - 2);
        }
        return IsFullPath(value) ? std::u16string(value) : std::u16string();
    }
    return {};
}

} // namespace sorvane
