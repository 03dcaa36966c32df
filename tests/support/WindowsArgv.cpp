#include "WindowsArgv.h"

namespace sorvane::testing {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

struct Parse {
    std::vector<std::u16string> args;
    bool insideQuotes = false;
};

Parse ParseArguments(std::u16string_view s, std::size_t i, Parse result) {
    while (true) {
        while (i < s.size() && IsBlank(s[i])) {
            ++i;
        }
        if (i >= s.size()) {
            return result;
        }
        std::u16string arg;
        bool quoted = false;
        while (i < s.size() && (quoted || !IsBlank(s[i]))) {
            if (s[i] == u'\\') {
                std::size_t n = 0;
                while (i < s.size() && s[i] == u'\\') {
                    ++n;
                    ++i;
                }
                if (i < s.size() && s[i] == u'"') {
                    arg.append(n / 2, u'\\');
                    if (n % 2 == 1) {
                        arg += u'"';
                        ++i;
                    }
                } else {
                    arg.append(n, u'\\');
                }
            } else if (s[i] == u'"') {
                if (quoted && i + 1 < s.size() && s[i + 1] == u'"') {
                    arg += u'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += s[i++];
            }
        }
        result.args.push_back(arg);
        result.insideQuotes = quoted;
    }
}

} // namespace

std::vector<std::u16string> SplitWindowsCommandLine(std::u16string_view s) {
    Parse result;
    std::u16string program;
    std::size_t i = 0;
    if (!s.empty() && s[0] == u'"') {
        ++i;
        while (i < s.size() && s[i] != u'"') {
            program += s[i++];
        }
        if (i < s.size()) {
            ++i;
        }
    } else {
        while (i < s.size() && !IsBlank(s[i])) {
            program += s[i++];
        }
    }
    result.args.push_back(program);
    return ParseArguments(s, i, std::move(result)).args;
}

bool EndsInsideQuotes(std::u16string_view arguments) {
    return ParseArguments(arguments, 0, Parse{}).insideQuotes;
}

} // namespace sorvane::testing
