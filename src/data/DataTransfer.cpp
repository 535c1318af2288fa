#include "DataTransfer.h"

#include "Address.h"
#include "ChannelRecall.h"
#include "NumberText.h"
#include "PlsConfigArray.h"
#include "RSComm.h"
#include "SampleRead.h"
#include "SharedState.h"

#include <limits>

namespace {

// Progress steps of a timing part: two per channel.
constexpr int TimingSteps = 2 * SetupRecord::ChannelCount;
// A PLS word read that failed.
constexpr int PlsReadFailed = -9999;

// A PLS word as the record keeps it; nullopt when the read failed or the
// word does not fit a 16-bit signed value.
std::optional<qint16> plsWord(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value == PlsReadFailed || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}

} // namespace

bool DataTransfer::IsValidCode(int code) {
    switch (code) {
    case UploadSetup:
    case UploadTiming:
    case UploadShift:
    case UploadAll:
    case DownloadSetup:
    case DownloadTiming:
    case DownloadShift:
    case DownloadAll:
        return true;
    default:
        return false;
    }
}

QString DataTransfer::CaptionFor(int code) {
    switch (code) {
    case UploadSetup:
        return QStringLiteral("Uploading Set-up Parameters, Please Standby...");
    case UploadTiming:
        return QStringLiteral("Uploading Timing Channels, Please Standby...");
    case UploadShift:
        return QStringLiteral("Uploading Shift Data, Please Standby...");
    case UploadAll:
        return QStringLiteral("Uploading Data, Please Standby...");
    case DownloadSetup:
        return QStringLiteral("Downloading Set-up Parameters, Please Standby...");
    case DownloadTiming:
        return QStringLiteral("Downloading Timing Channels, Please Standby...");
    case DownloadShift:
        return QStringLiteral("Downloading Shift Data, Please Standby...");
    case DownloadAll:
        return QStringLiteral("Downloading Data, Please Standby...");
    default:
        return {};
    }
}

int DataTransfer::MaximumFor(int code) {
    switch (code % 10) {
    case UploadSetup:
        return RegisterGroup::SetupLast - RegisterGroup::SetupFirst + 2;
    case UploadTiming:
        return TimingSteps + 1;
    case UploadShift:
        return RegisterGroup::ShiftDataLast - RegisterGroup::ShiftDataFirst + 1;
    case UploadAll:
        return LastIndex + TimingSteps + 1;
    default:
        return 0;
    }
}

bool DataTransfer::ValidAddress(const QString& address) {
    return Address::parseWellFormed(address).has_value();
}

QString DataTransfer::DownloadText(qint32 value) {
    return (value >= 0 ? QStringLiteral(" ") : QString()) + QString::number(value);
}

int DataTransfer::GroupsOf(int code) {
    switch (code % 10) {
    case UploadSetup:
        return SetupGroup;
    case UploadTiming:
        return TimingGroup;
    case UploadShift:
        return ShiftGroup;
    case UploadAll:
        return AllGroups;
    default:
        return 0;
    }
}

DataTransfer::DataTransfer(RSComm& link, SetupRecord& data, int code)
    : m_link(link), m_data(data), m_code(code), m_caption(CaptionFor(code)),
      m_maximum(MaximumFor(code)) {
    switch (code % 10) {
    case UploadSetup:
        m_entry = RegisterGroup::SetupFirst;
        m_lastEntry = RegisterGroup::SetupLast;
        break;
    case UploadShift:
        m_entry = RegisterGroup::ShiftDataFirst;
        m_lastEntry = RegisterGroup::ShiftDataLast;
        break;
    case UploadAll:
        m_entry = 0;
        m_lastEntry = LastIndex;
        m_withTiming = true;
        break;
    case UploadTiming:
        m_phase = Phase::TimingStart;
        break;
    default:
        m_phase = Phase::Done;
        break;
    }
}

DataTransfer::DataTransfer(RSComm& link, SetupRecord& data, int groups, const QString& caption)
    : m_link(link), m_data(data), m_code(UploadAll), m_withTiming(groups & TimingGroup),
      m_fixedCaption(true), m_caption(caption) {
    // The shift data and the set-up parameters lie side by side in the table.
    m_entry = groups & ShiftGroup ? RegisterGroup::ShiftDataFirst : RegisterGroup::SetupFirst;
    m_lastEntry = groups & SetupGroup ? RegisterGroup::SetupLast : RegisterGroup::ShiftDataLast;
    const bool entries = groups & (SetupGroup | ShiftGroup);
    if (!entries)
        m_phase = m_withTiming ? Phase::TimingStart : Phase::Done;
    m_maximum = (entries ? m_lastEntry - m_entry + 1 : 0) + (m_withTiming ? TimingSteps : 0);
}

bool DataTransfer::Failed() const {
    return m_link.CommError() || m_timingFailed || m_entryFailed;
}

bool DataTransfer::Step() {
    switch (m_phase) {
    case Phase::Entries:
        EntryStep();
        break;
    case Phase::TimingStart:
        TimingStartStep();
        break;
    case Phase::ConfigUpload:
        ConfigUploadStep();
        break;
    case Phase::ScaleUpload:
        WordUploadStep(m_link.PLSScaleFactor(), m_data.PlsScale, Phase::OffsetUpload);
        break;
    case Phase::OffsetUpload:
        WordUploadStep(m_link.PLSOffset(), m_data.PlsOffset, Phase::Recall);
        break;
    case Phase::Recall:
        RecallStep();
        break;
    case Phase::ConfigDownload:
        ConfigDownloadStep();
        break;
    case Phase::ChannelDownload:
        ChannelDownloadStep();
        break;
    case Phase::Done:
        break;
    }
    return m_phase != Phase::Done;
}

void DataTransfer::RunToEnd() {
    while (Step()) {
    }
}

// --- the register table entries ---------------------------------------------

void DataTransfer::EntryStep() {
    if (m_entry > m_lastEntry || m_cancelRequested || m_link.CommError()) {
        EndEntries();
        return;
    }
    const int i = m_entry++;
    // A record from a short file may lack entries: they have no address.
    const bool present = i < m_data.AddressTable.size() && i < m_data.ValueTable.size();
    if (!present || !ValidAddress(m_data.AddressTable[i])) {
        m_entryFailed = true;
    } else if (IsUpload(m_code)) {
        // The shift data count on with the running machine (the brake
        // responses change at each stop): read whole. The set-up is the host's.
        const QString& address = m_data.AddressTable[i];
        std::optional<QString> text;
        if (i <= RegisterGroup::ShiftDataLast) {
            text = SampleRead::read(m_link, address);
        } else {
            text = m_link.RSRead(address);
            if (m_link.LastReadFailed())
                text.reset();
        }
        if (!text || m_link.CommError()) {
            m_entryFailed = true;
        } else {
            const qint32 value = NumberText::wholeInt32(*text);
            m_dataChanged = m_dataChanged || m_data.ValueTable[i] != value;
            m_data.ValueTable[i] = value;
        }
    } else {
        m_link.RSWrite(m_data.AddressTable[i], DownloadText(m_data.ValueTable[i]));
        if (m_link.CommError() || m_link.LastWriteFailed() || m_link.LastWriteRefused())
            m_entryFailed = true;
    }
    ++m_value;
}

void DataTransfer::EndEntries() {
    m_phase = m_withTiming ? Phase::TimingStart : Phase::Done;
}

// --- the timing part ----------------------------------------------------------

void DataTransfer::TimingStartStep() {
    // A Cancel of the entries also keeps the PLS as it is.
    if (m_link.CommError() || m_cancelRequested) {
        m_phase = Phase::Done;
        return;
    }
    const bool upload = IsUpload(m_code);
    if (!m_fixedCaption)
        m_caption = upload ? CaptionFor(UploadTiming) : CaptionFor(DownloadTiming);
    m_phase = upload ? Phase::ConfigUpload : Phase::ConfigDownload;
}

void DataTransfer::ConfigUploadStep() {
    const auto config = m_link.PLSConfigUpload();
    if (m_link.CommError()) {
        m_phase = Phase::Done;
        return;
    }
    if (m_link.LastPLSConfigUploadFailed()) {
        // A part-read array is not the board's configuration: keep ours.
        m_timingFailed = true;
    } else {
        SetupRecord before = m_data;
        m_data.PlsConfig0 = qint16(config[0]);
        m_data.PlsConfig1 = qint16(config[1]);
        for (size_t i = 0; i < m_data.PlsConfig2to9.size(); ++i)
            m_data.PlsConfig2to9[i] = qint16(config[2 + i]);
        m_dataChanged = m_dataChanged || before != m_data;
    }
    m_phase = Phase::ScaleUpload;
}

void DataTransfer::WordUploadStep(const QString& text, qint16& target, Phase next) {
    if (m_link.CommError()) {
        m_phase = Phase::Done;
        return;
    }
    if (const auto word = plsWord(text)) {
        m_dataChanged = m_dataChanged || target != *word;
        target = *word;
    } else {
        m_timingFailed = true;
    }
    m_phase = next;
    m_channel = 0;
    m_secondRecall = false;
}

void DataTransfer::RecallStep() {
    if (m_link.CommError() || m_timingFailed || m_channel >= SetupRecord::ChannelCount ||
        (!m_secondRecall && m_cancelRequested)) {
        m_phase = Phase::Done;
        return;
    }
    auto& setpoints = m_data.ChannelSetpoint[size_t(m_channel)];
    const auto before = setpoints;
    ++m_value;
    if (!m_link.RecallChannel(m_channel)) {
        m_timingFailed = true;
        m_phase = Phase::Done;
        return;
    }
    const ChannelRecall::Result recalled = ChannelRecall::decode(m_link);
    ChannelRecall::store(recalled, setpoints);
    m_dataChanged = m_dataChanged || before != setpoints;
    if (recalled.setpoint == ChannelRecall::Setpoint::None) {
        // Not programmed (or a pulse train): no second recall.
        ++m_value;
        NextRecallChannel();
        return;
    }
    if (m_secondRecall)
        NextRecallChannel();
    else
        m_secondRecall = true;
}

void DataTransfer::NextRecallChannel() {
    ++m_channel;
    m_secondRecall = false;
}

void DataTransfer::ConfigDownloadStep() {
    // Values the link cannot send are refused before the handshake; the
    // channels still go.
    if (!m_link.PLSConfigDownload(PlsConfigArray(m_data), m_data.PlsScale))
        m_timingFailed = true;
    m_channel = 0;
    m_phase = Phase::ChannelDownload;
}

void DataTransfer::ChannelDownloadStep() {
    if (m_link.CommError() || m_cancelRequested || m_channel >= SetupRecord::ChannelCount) {
        EndTimingDownload();
        return;
    }
    const auto& setpoints = m_data.ChannelSetpoint[size_t(m_channel)];
    const bool ok = (setpoints[0] != 0 || setpoints[1] != 0)
                        ? m_link.SingleSetpoint(m_channel, setpoints[0], setpoints[1], true)
                        : m_link.ClearPLSChan(m_channel);
    if (!ok) {
        m_timingFailed = true;
        EndTimingDownload();
        return;
    }
    m_value += 2;
    ++m_channel;
}

void DataTransfer::EndTimingDownload() {
    m_timingDownloaded = true;
    m_phase = Phase::Done;
}
