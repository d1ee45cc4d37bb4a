// The external extractor's JSON answer: any bytes parse to a video or to one
// readable reason; every row's choice is a format of the video, of that row's
// height band (or of unknown height) and container, and gives a plain
// extension and a selection the extractor cannot read as more than one format;
// the name made from its title fits a file name and ends with that extension.
#include "FuzzRequire.h"
#include "service/ExtractorFormats.h"
#include "service/ExtractorInfo.h"
#include "service/FileNaming.h"
#include "service/FormatTable.h"

#include <QDateTime>

#include <map>

namespace {

bool plainExtension(const QString &extension)
{
    if (extension.size() < 2 || extension.size() > 9 || extension[0] != QLatin1Char('.'))
        return false;
    for (qsizetype i = 1; i < extension.size(); ++i) {
        if (!extension[i].isLetterOrNumber() || extension[i].unicode() > 0x7f)
            return false;
    }
    return true;
}

void checkChoice(const ExtractorInfo &info, int row)
{
    const std::optional<ChosenExtractorFormat> chosen = ChooseExtractorFormat(info.Formats, row);
    if (!chosen)
        return;
    FUZZ_REQUIRE(plainExtension(chosen->FileExtension));
    if (formatAt(row)->Mp4Only)
        FUZZ_REQUIRE(chosen->FileExtension == QStringLiteral(".mp4"));

    // The lines each video row asks, as the README's table gives them.
    const auto fitsRow = [row](int height) {
        const VideoFormat &wish = *formatAt(row);
        // Audio rows take audio of any picture, or of none; an unknown height fits any row.
        if (wish.Kind == RowKind::Audio || height <= 0)
            return true;
        if (wish.Kind == RowKind::Best)
            return height <= 2400;
        const std::map<int, std::pair<int, int>> lines = {
            {240, {1, 300}},     {360, {301, 420}},    {480, {421, 600}},   {720, {601, 840}},
            {1080, {841, 1200}}, {1440, {1201, 1600}}, {2160, {1441, 2400}}};
        const auto [low, high] = lines.at(wish.HeightBand);
        return height >= low && height <= high;
    };
    const bool audioRow = formatAt(row)->Kind == RowKind::Audio;
    FUZZ_REQUIRE(audioRow || chosen->AudioTarget.isEmpty());
    const ExtractorFormat *source = nullptr;
    for (const ExtractorFormat &format : info.Formats) {
        const bool same = chosen->OwnTransfer
                              ? format.Url == chosen->Url
                              : chosen->Selector == format.FormatId ||
                                    chosen->Selector.startsWith(format.FormatId + QLatin1Char('+'));
        if (same && (audioRow ? format.HasAudio : format.HasVideo) && fitsRow(format.Height))
            source = &format;
    }
    FUZZ_REQUIRE(source != nullptr);
    if (chosen->OwnTransfer) {
        FUZZ_REQUIRE(chosen->Url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
                     chosen->Url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive));
        FUZZ_REQUIRE(chosen->Selector.isEmpty());
    } else {
        FUZZ_REQUIRE(!chosen->Selector.isEmpty());
        // The id itself holds none of the selection's operators.
        for (const QChar c : source->FormatId)
            FUZZ_REQUIRE(!QStringLiteral("+/,[]()*?=<>!&|\"' ").contains(c));
    }

    const VideoFileNames names = NameExtractorVideoFiles(
        info.Title, chosen->SuffixRow, QDateTime(QDate(2012, 8, 15), QTime(14, 5, 9)),
        chosen->FileExtension);
    FUZZ_REQUIRE(names.SaveFileName.toUtf8().size() <= MaxFileNameBytes);
    FUZZ_REQUIRE(names.SaveFileName.endsWith(chosen->FileExtension));
    FUZZ_REQUIRE(names.SaveFileName.size() > chosen->FileExtension.size());
    FUZZ_REQUIRE(!names.SaveFileName.contains(QLatin1Char('/')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    const ExtractorInfoResult result = ParseExtractorInfo(json);
    FUZZ_REQUIRE((result.info || result.list) == result.error.isEmpty());
    // A list's entries are web links, each one line.
    if (result.list) {
        FUZZ_REQUIRE(!result.list->Entries.isEmpty());
        for (const ExtractorListEntry &entry : result.list->Entries) {
            FUZZ_REQUIRE(entry.Link.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
                         entry.Link.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive));
            FUZZ_REQUIRE(!entry.Link.contains(QLatin1Char('\n')));
        }
    }
    if (!result.info)
        return 0;
    FUZZ_REQUIRE(!result.info->Formats.isEmpty());
    for (int row = -1; row <= FormatCount; ++row) {
        if (row < 0 || row >= FormatCount)
            FUZZ_REQUIRE(!ChooseExtractorFormat(result.info->Formats, row));
        else
            checkChoice(*result.info, row);
    }
    return 0;
}
