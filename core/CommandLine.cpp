#include "CommandLine.h"

namespace sorvane {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

} // namespace

std::u16string QuoteArgument(std::u16string_view text) {
    if (text.find_first_of(u" \t\"") == std::u16string_view::npos) {
        return std::u16string(text);
    }
    std::u16string quoted = u"\"";
    std::size_t backslashes = 0;
    for (const char16_t c : text) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            // Backslashes before a quote are doubled, and the quote itself is escaped.
            quoted.append(backslashes * 2 + 1, u'\\');
        } else {
            quoted.append(backslashes, u'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    // The closing quote must not be escaped by backslashes that end the text.
    quoted.append(backslashes * 2, u'\\');
    quoted += u'"';
    return quoted;
}

std::u16string_view CommandLineTail(std::u16string_view commandLine) {
    // The program name ends at the next quote when it starts with one, else at a blank;
    // it takes no escapes.
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        const std::size_t close = commandLine.find(u'"', 1);
        i = close == std::u16string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !IsBlank(commandLine[i])) {
            ++i;
        }
    }
    while (i < commandLine.size() && IsBlank(commandLine[i])) {
        ++i;
    }
    return commandLine.substr(i);
}

std::u16string InputPathFromStartupArgument(std::u16string_view argument) {
    if (argument.empty() || argument[0] != u'"') {
        return std::u16string(argument);
    }
    std::u16string path;
    bool quoted = false;
    std::size_t i = 0;
    while (i < argument.size()) {
        const char16_t c = argument[i];
        if (c == u'\\') {
            std::size_t run = 0;
            while (i < argument.size() && argument[i] == u'\\') {
                ++run;
                ++i;
            }
            if (i < argument.size() && argument[i] == u'"') {
                // An even run before a quote halves and leaves the quote a delimiter;
                // an odd run halves and makes the quote literal.
                path.append(run / 2, u'\\');
                if (run % 2 == 1) {
                    path += u'"';
                    ++i;
                }
            } else {
                path.append(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && i + 1 < argument.size() && argument[i + 1] == u'"') {
                // A doubled quote inside quotes is one literal quote.
                path += u'"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && IsBlank(c)) {
            break;
        }
        path += c;
        ++i;
    }
    return path;
}

} // namespace sorvane
