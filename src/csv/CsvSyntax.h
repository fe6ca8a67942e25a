#pragma once

#include <QStringView>
#include <algorithm>
#include <cstring>

// How a field of delimited text is read, for a file's bytes (CsvReader) and for a line already decoded
// (Japan Post's files) alike. A field that starts with a double quote runs to the first quote that is
// not doubled, two quotes inside standing for one, and the delimiter or the line's end must follow it.
// Any other field runs to the delimiter or the line's end, a quote inside it taken as it is. A line
// ends at LF, and a CR just before the LF belongs to the line end.
class CsvSyntax {
public:
    template <typename Char> struct Quoted {
        const Char *close; // the closing quote, or end when there is none
        qsizetype doubled; // the doubled quotes before it
    };

    // From a quoted field's opening quote: its closing quote. A quote just before end is taken for the
    // closing one, though more text could show it to be doubled.
    template <typename Char> static Quoted<Char> closingQuote(const Char *open, const Char *end)
    {
        qsizetype doubled = 0;
        for (const Char *p = open + 1;; p += 2, ++doubled) {
            p = find(p, end, Char('"'));
            if (p == end || p + 1 == end || p[1] != Char('"'))
                return {p, doubled};
        }
    }

    // Whether what starts at after (up to end, the end of the text at hand) may follow a closing
    // quote: nothing, the delimiter or a line end.
    template <typename Char> static bool endsQuoted(const Char *after, const Char *end, Char delimiter)
    {
        return after == end || *after == delimiter || *after == Char('\n') ||
               (*after == Char('\r') && after + 1 < end && after[1] == Char('\n'));
    }

    // A line's length without the CR of its line end; line runs up to the LF, or to the end of the text.
    template <typename Char> static qsizetype withoutCr(const Char *line, qsizetype size)
    {
        return size > 0 && line[size - 1] == Char('\r') ? size - 1 : size;
    }

    // The text between a field's quotes with each doubled quote made single, written to out (which
    // may be text itself); its size.
    template <typename Char> static qsizetype unquote(const Char *text, qsizetype size, Char *out)
    {
        qsizetype written = 0;
        for (qsizetype at = 0; at < size; ++at) {
            out[written++] = text[at];
            if (text[at] == Char('"'))
                ++at;
        }
        return written;
    }

    // Splits one decoded line, its line end taken off, into views of its values, in place: a quoted
    // field that holds doubled quotes is written over with single ones. The number of fields, or -1 for
    // a quote not closed, text after a closing quote, or more fields than capacity. Nothing is
    // allocated: Japan Post's 124,000 lines are split as the program starts.
    static qsizetype splitLine(char16_t *line, qsizetype size, char16_t delimiter, QStringView *fields,
                               qsizetype capacity);

private:
    template <typename Char> static const Char *find(const Char *p, const Char *end, Char c)
    {
        if constexpr (sizeof(Char) == 1) {
            const void *found = std::memchr(p, c, size_t(end - p));
            return found ? static_cast<const Char *>(found) : end;
        } else {
            return std::find(p, end, c);
        }
    }
};
