#pragma once

#include "Exchange.h"

#include <QString>
#include <cstdio>
#include <optional>

// telvane-cli --trace FILE: every exchange of the link as a line of text
// (the Comm Traffic window's lines), to FILE or, for "-", to standard error.
class TraceFile final : public ExchangeObserver {
public:
    TraceFile() = default;
    ~TraceFile() override;
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // nullopt when the file can be written; else why not.
    std::optional<QString> open(const QString& path);

    void exchanged(const Exchange& exchange) override;

private:
    std::FILE* m_file = nullptr;
    bool m_own = false;
    std::optional<qint64> m_originUs;
};
