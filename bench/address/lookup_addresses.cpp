// Runs addresses through the address search as F4 does, for survey_jigyosyo.py.
//
//   lookup_addresses [postal.idx] < addresses > answers
//
// One address a line in UTF-8 in; for each, one line out: the codes found (seven digits, blank
// between several, none when nothing is found), a tab, and "city" when the one code is only the
// city's code for towns not listed.
#include "address/AddressMatcher.h"
#include "address/PostalDirectoryLoader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    const Cp932Table codec;
    const FileSystem files(codec);
    const QString index = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELMORA_POSTAL_DATA);
    const PostalLoadResult loaded = PostalDirectoryLoader::load(files, index, {});
    if (!loaded.messages.isEmpty() || !loaded.directory) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.messages.join(u'\n')));
        return 1;
    }
    QTextStream in(stdin);
    QTextStream out(stdout);
    for (QString line; in.readLineInto(&line);) {
        const AddressMatcher::Result found = AddressMatcher::match(*loaded.directory, line);
        QStringList codes;
        for (const PostalEntry &e : found.entries)
            if (const QString code = QString::number(e.code).rightJustified(7, u'0'); !codes.contains(code))
                codes.append(code);
        out << codes.join(u' ') << u'\t' << (found.cityCodeOnly ? "city" : "") << u'\n';
    }
    return 0;
}
