#include "TrafficText.h"

#include "BoardProtocol.h"

using Step = Exchange::Step;
using Outcome = Exchange::Outcome;
using namespace BoardProtocol;

namespace TrafficText {
namespace {

QString plsCommand(int command) {
    switch (command) {
    case PlsReadScale:
        return QStringLiteral("PLS read scale factor");
    case PlsReadOffset:
        return QStringLiteral("PLS read offset");
    case PlsReadPosition:
        return QStringLiteral("PLS read position");
    case PlsReadSpeed:
        return QStringLiteral("PLS read speed");
    case PlsWriteScale:
        return QStringLiteral("PLS write scale factor");
    case PlsWriteOffset:
        return QStringLiteral("PLS write offset");
    case PlsChannelSetpoints:
        return QStringLiteral("PLS channel setpoints");
    case PlsChannelPulseTrain:
        return QStringLiteral("PLS pulse train");
    case PlsRecall:
        return QStringLiteral("PLS recall channel");
    case PlsReadConfig:
        return QStringLiteral("PLS read configuration");
    default:
        for (size_t g = 0; g < PlsConfigGroups.size(); ++g)
            if (command == PlsConfigGroups[g])
                return QStringLiteral("PLS configuration group %1").arg(g + 1);
        return QStringLiteral("command %1").arg(command);
    }
}

QString modeName(int mode, int modeByte) {
    if (mode == ReadMode)
        return QStringLiteral("read mode");
    if (mode == WriteMode)
        return QStringLiteral("write mode");
    return plsCommand(modeByte);
}

QString byteOf(const Exchange& e) {
    const QString name = registerName(e.address);
    return e.byteIndex ? name + QStringLiteral("+%1").arg(e.byteIndex) : name;
}

QString hex(int byte) {
    return byte < 0 ? QStringLiteral("--")
                    : QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString stepMeaning(const Exchange& e) {
    switch (e.step) {
    case Step::Byte:
        return QStringLiteral("byte");
    case Step::Greeting:
        return QStringLiteral("attention (going online)");
    case Step::Farewell:
        return QStringLiteral("attention (going offline)");
    case Step::Attention:
        return QStringLiteral("attention");
    case Step::ModeByte:
        return modeName(e.mode, e.modeByte);
    case Step::AddressHigh:
        return byteOf(e) + QStringLiteral(" high address");
    case Step::AddressLow:
        return byteOf(e) + (e.mode == ReadMode ? QStringLiteral(" low address, data")
                                               : QStringLiteral(" low address"));
    case Step::Data:
        return byteOf(e) + QStringLiteral(" data");
    case Step::PlsByte:
        return plsCommand(e.modeByte) + QStringLiteral(": byte");
    case Step::PlsReadyPoll:
        return QStringLiteral("PLS ready?");
    case Step::PlsReadyAnswer:
        return e.reply == PlsReady      ? QStringLiteral("PLS ready")
               : e.reply == Acknowledge ? QStringLiteral("PLS busy")
                                        : QStringLiteral("PLS ready? answer");
    case Step::PlsEnd:
        return QStringLiteral("PLS command end");
    case Step::RecordByte:
        return QStringLiteral("program record byte");
    case Step::RecordSum:
        return QStringLiteral("program record sum");
    case Step::ProgramLoad:
        return e.sent == ProgramLoadModeByte ? QStringLiteral("program load mode")
                                             : QStringLiteral("attention (program loading)");
    case Step::Value:
        return QStringLiteral("= ") + registerName(e.address) + u' ' + QString::number(e.value);
    case Step::Written:
        return registerName(e.address) + QStringLiteral(" := ") + QString::number(e.value);
    }
    return {};
}

} // namespace

QString registerName(const ParsedAddress& a) {
    QString name = a.letter + QString::number(a.boardAddress);
    if (a.bitFlag) {
        int bit = 0;
        while (bit < 7 && (1 << bit) != a.bitMask)
            ++bit;
        name += u'.' + QString::number(bit);
    }
    return name;
}

Mark mark(const Exchange& e) {
    switch (e.outcome) {
    case Outcome::Resent:
        return Mark::Resend;
    case Outcome::TimedOut:
        return Mark::TimeOut;
    case Outcome::WrongEcho:
    case Outcome::Resynced:
        return Mark::WrongEcho;
    case Outcome::Lost:
    case Outcome::Skipped:
        return Mark::Lost;
    case Outcome::Answered:
    case Outcome::Sent:
        return Mark::Plain;
    }
    return Mark::Plain;
}

QString meaning(const Exchange& e) {
    switch (e.outcome) {
    case Outcome::Resent:
        return QStringLiteral("attention resent after the time-out");
    case Outcome::TimedOut:
        return stepMeaning(e) + QStringLiteral(": no answer (time-out)");
    case Outcome::WrongEcho:
        return stepMeaning(e) + QStringLiteral(": wrong echo");
    case Outcome::Resynced:
        return QStringLiteral("answer to the resent attention: the transaction starts over");
    case Outcome::Lost:
        return stepMeaning(e) + QStringLiteral(": connection lost");
    case Outcome::Skipped:
        return stepMeaning(e) + QStringLiteral(": not sent, the link has failed");
    case Outcome::Sent:
    case Outcome::Answered:
        break;
    }
    return stepMeaning(e);
}

QString line(const Exchange& e, qint64 originUs) {
    const QString at = QString::number(double(e.atUs - originUs) / 1000.0, 'f', 1);
    const bool value = e.step == Step::Value || e.step == Step::Written;
    const QString took = value          ? QString()
                         : e.tookUs < 0 ? QStringLiteral("-")
                                        : QString::number(double(e.tookUs) / 1000.0, 'f', 2);
    const QString bytes = value ? QString(6, u' ') : hex(e.sent) + u' ' + hex(e.reply) + u' ';
    return at.rightJustified(10) + u' ' + took.rightJustified(6) + QStringLiteral("  ") + bytes +
           u' ' + meaning(e);
}

bool isExchange(const Exchange& e) {
    if (e.step == Step::Value || e.step == Step::Written)
        return false;
    return e.outcome == Outcome::Answered || e.outcome == Outcome::Sent ||
           e.outcome == Outcome::WrongEcho || e.outcome == Outcome::Resynced;
}

bool isResend(const Exchange& e) {
    return e.outcome == Outcome::Resent;
}

bool isTimeOut(const Exchange& e) {
    return e.outcome == Outcome::TimedOut;
}

bool isWrongEcho(const Exchange& e) {
    return e.outcome == Outcome::WrongEcho || e.outcome == Outcome::Resynced;
}

} // namespace TrafficText
