#pragma once

#include "SetupRecord.h"

#include <QString>
#include <algorithm>
#include <array>

class RSComm;

// Moves a group of values between the board and a SetupRecord: the set-up
// parameters, the timing channels (PLS configuration and setpoints), the
// shift data, or all of them. No widgets: the progress window and
// telvane-cli drive the same engine, one board transaction per Step().
//
// Codes: 0, 1, 2, 4 upload set-up parameters, timing channels, shift data,
// all; 10, 11, 12, 14 download the same groups.
class DataTransfer {
public:
    enum Code {
        UploadSetup = 0,
        UploadTiming = 1,
        UploadShift = 2,
        UploadAll = 4,
        DownloadSetup = 10,
        DownloadTiming = 11,
        DownloadShift = 12,
        DownloadAll = 14,
    };

    // The groups of a transfer, for an upload of any set of them (a compare
    // reads the board as an upload of its groups does).
    enum Group {
        SetupGroup = 1,
        TimingGroup = 2,
        ShiftGroup = 4,
        AllGroups = SetupGroup | TimingGroup | ShiftGroup,
    };

    static bool IsValidCode(int code);
    static bool IsUpload(int code) { return code < DownloadSetup; }
    // The caption the progress window starts with.
    static QString CaptionFor(int code);
    static int MaximumFor(int code);
    // The groups the transfer of a code moves (a set of Group).
    static int GroupsOf(int code);

    // An address text the transfer may read or write: the strict form of
    // addresses from outside the program. Set-up files bring their own
    // address tables, and anything else would land on some byte the table
    // never meant (byte 32, say).
    static bool ValidAddress(const QString& address);

    // The value text a download writes: the decimal value, with one space
    // before it when it is not negative.
    static QString DownloadText(qint32 value);

    DataTransfer(RSComm& link, SetupRecord& data, int code);
    // Reads the groups (a set of Group) into data with the reads of their
    // uploads: the entries of the groups in one ascending run, then the
    // timing part; the caption stays the one given throughout.
    DataTransfer(RSComm& link, SetupRecord& data, int groups, const QString& caption);

    // Does at most one board operation; false once the transfer is over.
    bool Step();
    // Runs every step at once (for callers without an event loop to return to).
    void RunToEnd();

    // The entry loop stops at its next step; a timing part not yet begun is
    // skipped, one under way stops before its next channel.
    void Cancel() { m_cancelRequested = true; }

    int Code() const { return m_code; }
    bool Done() const { return m_phase == Phase::Done; }
    bool CancelRequested() const { return m_cancelRequested; }
    bool TimingFailed() const { return m_timingFailed; }
    // An entry was not moved: its address is not valid, or its read or write
    // finally failed. Uploads keep the old value of such an entry.
    bool EntryFailed() const { return m_entryFailed; }
    // The link failed, an entry was not moved, or the timing part failed:
    // the user is told the process is not complete.
    bool Failed() const;
    // A timing download ended after it had begun to program the board.
    bool TimingDownloaded() const { return m_timingDownloaded; }
    // The record was changed by this upload.
    bool DataChanged() const { return m_dataChanged; }

    QString StatusCaption() const { return m_caption; }
    int Maximum() const { return m_maximum; }
    // Progress so far, never above Maximum().
    int Value() const { return std::min(m_value, m_maximum); }

private:
    enum class Phase {
        Entries,
        TimingStart,
        ConfigUpload,
        ScaleUpload,
        OffsetUpload,
        Recall,
        ConfigDownload,
        ChannelDownload,
        Done,
    };

    void EntryStep();
    void EndEntries();
    void TimingStartStep();
    void ConfigUploadStep();
    void WordUploadStep(const QString& text, qint16& target, Phase next);
    void RecallStep();
    void NextRecallChannel();
    void ConfigDownloadStep();
    void ChannelDownloadStep();
    void EndTimingDownload();

    RSComm& m_link;
    SetupRecord& m_data;
    int m_code;
    Phase m_phase = Phase::Entries;
    int m_entry = 0;
    int m_lastEntry = -1;
    int m_channel = 0;
    bool m_secondRecall = false;
    bool m_withTiming = false; // a timing part follows the entries
    bool m_fixedCaption = false;

    bool m_cancelRequested = false;
    bool m_timingFailed = false;
    bool m_entryFailed = false;
    bool m_timingDownloaded = false;
    bool m_dataChanged = false;

    QString m_caption;
    int m_maximum = 0;
    int m_value = 0;
};
