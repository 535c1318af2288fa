#include "SetupComparison.h"

#include "Prompt.h"
#include "SdtFile.h"
#include "SetupHistory.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace SetupComparison {

Side FileSide(const QString& path, const QString& programVersionTag, Prompt& prompt) {
    return {[path, programVersionTag, &prompt](const SideRequest&) -> std::optional<SideRecord> {
                QString warning;
                auto record = SdtFile::readChecked(path, &warning);
                if (!record) {
                    prompt.message(QStringLiteral("TELVANE"), warning, Prompt::Icon::Exclamation);
                    return std::nullopt;
                }
                if (record->VersionTag != programVersionTag &&
                    SdtFile::AskOtherVersion(prompt, record->VersionTag) != Prompt::Answer::Yes)
                    return std::nullopt;
                return SideRecord{FileSideName(path), *record};
            },
            false};
}

Side MemorySide(const SetupRecord& data, bool unsavedChanges) {
    return {[&data, unsavedChanges](const SideRequest&) -> std::optional<SideRecord> {
                return SideRecord{MemorySideName(unsavedChanges), data};
            },
            false};
}

Side BoardSide(BoardRead readBoard, std::function<QString()> device) {
    return {[readBoard = std::move(readBoard),
             device = std::move(device)](const SideRequest& request) -> std::optional<SideRecord> {
                if (!request.other)
                    return std::nullopt;
                auto record = readBoard(*request.other, request.groups);
                if (!record)
                    return std::nullopt;
                return SideRecord{
                    BoardSideName(device ? device() : QString(), QDateTime::currentDateTime()),
                    *record};
            },
            true};
}

Side SnapshotSide(SetupHistory& history, qint64 number,
                  std::function<void(const QString& why)> warn) {
    return {[&history, number,
             warn = std::move(warn)](const SideRequest&) -> std::optional<SideRecord> {
                auto fetched = history.Fetch(number);
                if (const auto* error = std::get_if<HistoryError>(&fetched)) {
                    warn(error->reason);
                    return std::nullopt;
                }
                const Snapshot& snapshot = std::get<Snapshot>(fetched);
                auto record = SnapshotSetup(snapshot);
                if (const auto* error = std::get_if<HistoryError>(&record)) {
                    warn(error->reason);
                    return std::nullopt;
                }
                return SideRecord{SnapshotSideName(snapshot.info),
                                  std::get<SetupRecord>(std::move(record))};
            },
            false};
}

Outcome Run(const Side& left, const Side& right, int groups) {
    const std::array<const Side*, 2> sides{&left, &right};
    if (left.readsAtOther && right.readsAtOther)
        return {std::nullopt, 1};
    std::array<std::optional<SideRecord>, 2> read;
    // The sides that stand alone first: a file's question comes before a
    // board is read for it.
    for (const bool second : {false, true}) {
        for (size_t s = 0; s < 2; ++s) {
            if (sides[s]->readsAtOther != second)
                continue;
            const SetupRecord* other = second ? &read[1 - s]->record : nullptr;
            read[s] = sides[s]->read(SideRequest{groups, other});
            if (!read[s])
                return {std::nullopt, int(s)};
        }
    }
    return {Comparison{{read[0]->name, read[1]->name},
                       SetupCompare::Compare(read[0]->record, read[1]->record, groups)},
            -1};
}

QString FileSideName(const QString& path) {
    const QFileInfo info(path);
    return info.absoluteFilePath() + QStringLiteral(" (") +
           QLocale().toString(info.lastModified(), QLocale::ShortFormat) + u')';
}

QString BoardSideName(const QString& device, const QDateTime& when) {
    return QStringLiteral("Board on %1 at %2")
        .arg(device, QLocale().toString(when, QLocale::ShortFormat));
}

QString MemorySideName(bool unsavedChanges) {
    return unsavedChanges ? QStringLiteral("Memory (unsaved changes)") : QStringLiteral("Memory");
}

QString SnapshotSideName(const SnapshotInfo& snapshot) {
    const QString press =
        snapshot.press.isEmpty() ? QString() : QStringLiteral(" of ") + snapshot.press;
    return QStringLiteral("Snapshot %1 (%2%3 on %4 at %5, by %6)")
        .arg(QString::number(snapshot.number), snapshot.action, press, snapshot.device,
             QLocale().toString(snapshot.time.toLocalTime(), QLocale::ShortFormat), snapshot.user);
}

} // namespace SetupComparison
