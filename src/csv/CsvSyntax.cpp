#include "csv/CsvSyntax.h"

qsizetype CsvSyntax::splitLine(char16_t *line, qsizetype size, char16_t delimiter, QStringView *fields,
                               qsizetype capacity)
{
    const char16_t *const end = line + size;
    char16_t *p = line;
    for (qsizetype count = 0;; ++p) { // past the delimiter
        if (count == capacity)
            return -1;
        if (p < end && *p == u'"') {
            const Quoted<char16_t> quoted = closingQuote<char16_t>(p, end);
            if (quoted.close == end)
                return -1;
            char16_t *const text = p + 1;
            const qsizetype length = quoted.close - text;
            fields[count++] =
                QStringView(text, quoted.doubled == 0 ? length : unquote<char16_t>(text, length, text));
            p = text + length + 1;
            if (p < end && *p != delimiter)
                return -1;
        } else {
            char16_t *const text = p;
            p = std::find(p, line + size, delimiter);
            fields[count++] = QStringView(text, p - text);
        }
        if (p == end)
            return count;
    }
}
