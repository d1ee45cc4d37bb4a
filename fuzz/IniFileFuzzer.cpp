// The INI reader and writer: a written value reads back as written, every
// other key keeps its value, and every other line stays as it was.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "app/IniFile.h"

#include <QStringList>

namespace {

const QChar Bom(0xFEFF);

// Names as the program uses them: one line, no blanks around, and a key that
// no reader could take for a comment, a section or a key with its value.
bool isName(const QString &name, QStringView forbidden)
{
    if (name.isEmpty() || name != name.trimmed())
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || forbidden.contains(c))
            return false;
    return true;
}

bool isSectionName(const QString &name)
{
    return isName(name, u"]");
}

bool isKeyName(const QString &name)
{
    return isName(name, u"=") && !name.startsWith(QLatin1Char(';')) &&
           !name.startsWith(QLatin1Char('['));
}

// The lines of a text without their line ends; a final line end starts no
// line. Carriage returns at a line's end count as line end, however many: a
// last line "x\r" may come back as "x" and a CR LF line end.
QStringList linesOf(QString text)
{
    if (text.startsWith(Bom))
        text.remove(0, 1);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        while (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

// The written text holds the old lines in order, with the key's line changed
// or added within its section, or the section added at the end.
void checkLinesKept(const QString &before, const QString &after, const QString &section)
{
    const QStringList old = linesOf(before);
    const QStringList now = linesOf(after);
    FUZZ_REQUIRE(after.startsWith(Bom) == before.startsWith(Bom));
    FUZZ_REQUIRE(after.endsWith(QLatin1Char('\n')));
    if (now.size() == old.size()) {
        int changed = 0;
        for (qsizetype i = 0; i < old.size(); ++i)
            changed += old.at(i) != now.at(i);
        FUZZ_REQUIRE(changed <= 1);
    } else if (now.size() == old.size() + 1) {
        qsizetype i = 0;
        while (i < old.size() && old.at(i) == now.at(i))
            ++i;
        FUZZ_REQUIRE(old.mid(i) == now.mid(i + 1));
    } else {
        FUZZ_REQUIRE(now.size() == old.size() + 2);
        FUZZ_REQUIRE(now.first(old.size()) == old);
        FUZZ_REQUIRE(now.at(old.size()) == QLatin1Char('[') + section + QLatin1Char(']'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // CONTENT, SECTION, KEY, VALUE, and another section and key to watch.
    const QString content = FuzzInput::text(input.field());
    const QString section = FuzzInput::text(input.field());
    const QString key = FuzzInput::text(input.field());
    const QString value = FuzzInput::text(input.field());
    const QString otherSection = FuzzInput::text(input.field());
    const QString otherKey = FuzzInput::text(input.field());

    // Reading never fails, whatever the names.
    (void)IniFile::value(content, section, key);
    if (!isSectionName(section) || !isKeyName(key) || value.contains(QLatin1Char('\n')) ||
        value.contains(QLatin1Char('\r')))
        return 0;

    const QString written = IniFile::withValue(content, section, key, value);
    FUZZ_REQUIRE(IniFile::value(written, section, key) == value);
    checkLinesKept(content, written, section);

    const bool sameKey = otherSection.compare(section, Qt::CaseInsensitive) == 0 &&
                         otherKey.compare(key, Qt::CaseInsensitive) == 0;
    if (!sameKey)
        FUZZ_REQUIRE(IniFile::value(written, otherSection, otherKey) ==
                     IniFile::value(content, otherSection, otherKey));
    return 0;
}
