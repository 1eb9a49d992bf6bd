#include "analyser/instrument/link/instrument_link.h"

#include <QSerialPort>
#include <QTcpSocket>

#include "analyser/instrument/protocol/librevna_scpi.h"

QString InstrumentAddress::where() const
{
    return kind == InstrumentKind::NanoVna ? port : host + ":" + QString::number(tcpPort);
}

std::optional<InstrumentAddress> libreAddress(const QString& text)
{
    InstrumentAddress a;
    a.kind = InstrumentKind::LibreVna;
    a.host = text;
    a.tcpPort = librevna::kDefaultPort;
    const int colon = text.lastIndexOf(':');
    if (colon >= 0 && !text.contains(']') && text.count(':') == 1) {
        bool ok = false;
        const uint port = text.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return std::nullopt;
        a.host = text.left(colon);
        a.tcpPort = static_cast<quint16>(port);
    }
    if (a.host.isEmpty())
        return std::nullopt;
    return a;
}

InstrumentLink::InstrumentLink(const InstrumentAddress& address, const ProtocolOptions& options, QObject* parent)
    : QObject(parent), address_(address), protocol_(makeProtocol(address.kind, options))
{
    timeout_.setSingleShot(true);
    pause_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        fail(QString("no reply to '%1' within %2 s")
                 .arg(QString::fromStdString(protocol_->awaiting()))
                 .arg(timeoutMs_ / 1000.0));
    });
    connect(&pause_, &QTimer::timeout, this, [this] { write(std::exchange(pending_, {})); });
}

InstrumentLink::~InstrumentLink() { close(); }

QString InstrumentLink::name() const
{
    return QString::fromStdString(protocol_->kind()) + " on " + address_.where();
}

QString InstrumentLink::identity() const { return QString::fromStdString(protocol_->identity()); }

void InstrumentLink::open()
{
    close();
    identifying_ = true;
    busy_ = true;
    if (address_.kind == InstrumentKind::NanoVna) {
        auto* port = new QSerialPort(address_.port, this);
        device_ = port;
        connect(port, &QSerialPort::readyRead, this, &InstrumentLink::readable);
        // The USB port ignores these, a real serial line needs them.
        port->setBaudRate(115200);
        port->setDataBits(QSerialPort::Data8);
        port->setParity(QSerialPort::NoParity);
        port->setStopBits(QSerialPort::OneStop);
        port->setFlowControl(QSerialPort::NoFlowControl);
        if (!port->open(QIODevice::ReadWrite)) {
            const QString why = port->errorString();
            fail("cannot open the port: " + why);
            return;
        }
        connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError e) {
            if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError)
                fail(port->errorString());
        });
        connected();
    } else {
        auto* socket = new QTcpSocket(this);
        device_ = socket;
        connect(socket, &QTcpSocket::readyRead, this, &InstrumentLink::readable);
        connect(socket, &QTcpSocket::connected, this, &InstrumentLink::connected);
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError e) {
            fail(e == QAbstractSocket::RemoteHostClosedError ? QString("the connection was closed")
                                                             : socket->errorString());
        });
        socket->connectToHost(address_.host, address_.tcpPort);
        timeout_.start(timeoutMs_);
    }
}

void InstrumentLink::connected()
{
    try {
        act(protocol_->beginIdentify());
    } catch (const AppError& e) {
        fail(e.what());
    }
}

void InstrumentLink::sweep(const FrequencyPlan& plan, int average)
{
    if (!ready_ || busy_)
        return;
    busy_ = true;
    plan_ = plan;
    average_ = average;
    sum_ = SweepAverage();
    act(protocol_->beginSweep(plan_));
}

void InstrumentLink::close()
{
    timeout_.stop();
    pause_.stop();
    pending_.clear();
    busy_ = ready_ = identifying_ = false;
    if (device_) {
        QIODevice* d = device_;
        device_ = nullptr;
        d->disconnect(this);
        d->close();
        d->deleteLater();
    }
}

void InstrumentLink::readable()
{
    if (!device_)
        return;
    const QByteArray bytes = device_->readAll();
    if (bytes.isEmpty())
        return;
    try {
        if (busy_)
            timeout_.start(timeoutMs_);  // a reply still coming in is alive
        act(protocol_->received(std::string_view(bytes.constData(), bytes.size())));
    } catch (const AppError& e) {
        fail(e.what());
    }
}

void InstrumentLink::act(const Step& step)
{
    if (step.finished) {
        finishStep();
        return;
    }
    if (step.send.empty())
        return;
    timeout_.start(timeoutMs_ + step.delayMs);
    if (step.delayMs > 0) {
        pending_ = step.send;
        pause_.start(step.delayMs);
    } else {
        write(step.send);
    }
}

void InstrumentLink::write(const std::string& bytes)
{
    if (device_ && device_->write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        fail("cannot write to the port: " + device_->errorString());
}

void InstrumentLink::finishStep()
{
    timeout_.stop();
    if (identifying_) {
        identifying_ = busy_ = false;
        ready_ = true;
        if (onOpened)
            onOpened(identity());
        return;
    }
    sum_.add(protocol_->takeSweep());
    if (sum_.count() < average_) {
        act(protocol_->beginSweep(plan_));
        return;
    }
    busy_ = false;
    if (onSweep)
        onSweep(sum_.mean());  // the handler may start the next sweep or close
}

void InstrumentLink::fail(const QString& what)
{
    if (!device_)
        return;  // reported once
    close();
    // Reported from the event loop, never from inside the call that started the work.
    QTimer::singleShot(0, this, [this, message = name() + ": " + what] {
        if (onFailed)
            onFailed(message);
    });
}
