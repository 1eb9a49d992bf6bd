#pragma once
// An instrument on its connection: a protocol on a serial port or a TCP socket, driven by
// Qt's asynchronous signals, so nothing ever waits on the instrument in an event handler.
// Each reply has a time limit; any fault closes the connection and is reported once, as
// "NanoVNA on /dev/ttyACM0: what was wrong".

#include <QObject>
#include <QTimer>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "analyser/instrument/protocol/instrument_protocol.h"

class QIODevice;

struct InstrumentAddress {
    InstrumentKind kind = InstrumentKind::NanoVna;
    QString port;        // serial device path (NanoVNA)
    QString host;        // LibreVNA program's host
    quint16 tcpPort = 0; // and its SCPI port
    QString where() const;  // "/dev/ttyACM0", "localhost:19542"
};

// "HOST[:PORT]" as a LibreVNA address; nothing for a text that is not one.
std::optional<InstrumentAddress> libreAddress(const QString& text);

class InstrumentLink : public QObject {
    Q_OBJECT
public:
    explicit InstrumentLink(const InstrumentAddress& address, const ProtocolOptions& options = {},
                            QObject* parent = nullptr);
    ~InstrumentLink() override;

    void setTimeoutMs(int ms) { timeoutMs_ = ms; }
    const InstrumentAddress& address() const { return address_; }
    QString name() const;  // "NanoVNA on /dev/ttyACM0"

    // Opens the connection and identifies the instrument: onOpened or onFailed.
    void open();
    // The mean of `average` sweeps of the plan: onSweep or onFailed.
    void sweep(const FrequencyPlan& plan, int average = 1);
    // Ends whatever is under way, without a report, and closes the connection.
    void close();

    bool isOpen() const { return ready_ || busy_; }
    bool busy() const { return busy_; }
    QString identity() const;

    std::function<void(const QString& identity)> onOpened;
    std::function<void(const SweepData& data)> onSweep;
    std::function<void(const QString& message)> onFailed;

private:
    void connected();
    void readable();
    void act(const Step& step);
    void write(const std::string& bytes);
    void finishStep();
    void fail(const QString& what);

    InstrumentAddress address_;
    std::unique_ptr<InstrumentProtocol> protocol_;
    QIODevice* device_ = nullptr;
    QTimer timeout_, pause_;
    int timeoutMs_ = 5000;
    std::string pending_;  // what the pause holds back
    bool identifying_ = false, busy_ = false, ready_ = false;
    FrequencyPlan plan_;
    int average_ = 1;
    SweepAverage sum_;
};
