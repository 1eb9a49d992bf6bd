#include "analyser/instrument/sim/simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "common/errors.h"
#include "ladder/network.h"
#include "ladder/twoport.h"

namespace {

void appendNumber(std::string& out, double v)
{
    char buf[40];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9).ptr);
}

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;)
        w.push_back(s);
    return w;
}

}  // namespace

SimFault simFaultFromName(const std::string& name)
{
    const std::pair<const char*, SimFault> names[] = {
        {"none", SimFault::None},           {"silence", SimFault::Silence},
        {"garbage", SimFault::Garbage},     {"count", SimFault::WrongCount},
        {"frequency", SimFault::WrongFrequency}, {"error", SimFault::ErrorLine},
        {"close", SimFault::Close}};
    for (const auto& [n, f] : names)
        if (name == n)
            return f;
    throw AppError("unknown fault '" + name + "'");
}

Simulator::~Simulator() { stop(); }

void Simulator::start()
{
    random_ = options_.seed;
    thread_ = std::thread([this] { run(); });
}

void Simulator::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

void Simulator::respond(double hz, double values[4])
{
    TwoPort t;
    try {
        t = solveTwoPort(circuit_, circuitFrequency(circuit_, hz));
    } catch (const AppError&) {
        // A frequency the circuit has no answer at reads as silence on the ports.
    }
    values[0] = t.s11.real(), values[1] = t.s11.imag(), values[2] = t.s21.real(), values[3] = t.s21.imag();
    if (options_.noise > 0) {
        std::mt19937_64 g(random_++);
        std::normal_distribution<double> n(0, options_.noise);
        for (int i = 0; i < 4; ++i)
            values[i] += n(g);
    }
}

bool Simulator::sendReply(int fd, const std::string& bytes)
{
    if (options_.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.delayMs));
    const std::size_t piece = options_.pieceBytes > 0 ? options_.pieceBytes : bytes.size();
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, std::min(piece, bytes.size() - at));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            return false;
        }
        at += n;
        if (options_.pieceBytes > 0 && at < bytes.size())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

SimFault Simulator::nextFault()
{
    const int n = sweeps_++;
    if (faulted_ || options_.fault == SimFault::None || n < options_.faultAfter)
        return SimFault::None;
    faulted_ = true;
    return options_.fault;
}

namespace {

// The shell of the NanoVNA firmware on the master side of a pseudo-terminal.
class NanoVnaSimulator : public Simulator {
public:
    NanoVnaSimulator(const Circuit& c, const SimOptions& o) : Simulator(c, o)
    {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
            throw FileError::fromErrno(errno);
        // Raw on both sides: the terminal itself must neither echo nor translate line ends.
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        path_ = ttyname(slave_);
        start();
    }
    ~NanoVnaSimulator() override
    {
        stop();
        if (master_ >= 0)
            ::close(master_);
        ::close(slave_);
    }
    std::string address() const override { return path_; }

private:
    void run() override
    {
        std::string line;
        while (!stopping_ && master_ >= 0) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                continue;  // no one has the terminal open
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[i] == '\r' || buf[i] == '\n') {
                    if (buf[i] == '\r' || !line.empty())
                        command(line);
                    line.clear();
                } else {
                    line += buf[i];
                }
            }
        }
    }

    void command(const std::string& line)
    {
        std::string out = line + "\r\n";
        const auto w = words(line);
        if (w.empty()) {
        } else if (w[0] == "version") {
            out += "1.2.00-sim\r\n";
        } else if (w[0] == "help") {
            out += std::string("Commands: help version info reset pause resume frequencies data scan") +
                   (options_.binaryScan ? " scan_bin" : "") + "\r\n";
        } else if (w[0] == "scan" || (w[0] == "scan_bin" && options_.binaryScan)) {
            if (!scan(w, out))
                return;
        } else {
            out += w[0] + "?\r\n";
        }
        out += "ch> ";
        sendReply(master_, out);
    }

    // Appends the reply to a scan; false when the fault sends nothing more.
    bool scan(const std::vector<std::string>& w, std::string& out)
    {
        const bool binary = w[0] == "scan_bin";
        unsigned long long start = 0, stop = 0, points = 101, mask = 0;
        try {
            start = std::stoull(w.at(1));
            stop = std::stoull(w.at(2));
            if (w.size() > 3)
                points = std::stoull(w[3]);
            if (w.size() > 4)
                mask = std::stoull(w[4]);
        } catch (...) {
            out += "usage: scan {start(Hz)} {stop(Hz)} [points] [outmask]\r\n";
            return true;
        }
        const SimFault fault = nextFault();
        switch (fault) {
        case SimFault::Silence:
            sendReply(master_, out);
            return false;
        case SimFault::Close:
            ::close(master_);
            master_ = -1;
            return false;
        case SimFault::Garbage:
            out += "\x13\x88\xff garbage \x01\x02\r\n";
            return true;
        case SimFault::ErrorLine:
            out += w[0] + "?\r\n";
            return true;
        default:
            break;
        }
        const unsigned long long count = fault == SimFault::WrongCount ? points - 1 : points;
        if (binary) {
            auto u16 = [&](unsigned v) { out += char(v & 0xff), out += char(v >> 8); };
            u16(static_cast<unsigned>(mask));
            u16(static_cast<unsigned>(count));
        }
        for (unsigned long long i = 0; i < count; ++i) {
            // The firmware's own spreading, in whole hertz.
            std::uint32_t f = static_cast<std::uint32_t>(start + (points > 1 ? (stop - start) * i / (points - 1) : 0));
            if (fault == SimFault::WrongFrequency && i == count / 2)
                f += 1000 + static_cast<std::uint32_t>((stop - start) / points);
            double v[4];
            respond(f, v);
            if (binary) {
                const float fv[4] = {float(v[0]), float(v[1]), float(v[2]), float(v[3])};
                out.append(reinterpret_cast<const char*>(&f), 4);
                out.append(reinterpret_cast<const char*>(fv), 16);
            } else {
                out += std::to_string(f);
                for (double x : v) {
                    out += ' ';
                    appendNumber(out, x);
                }
                out += "\r\n";
            }
        }
        return true;
    }

    int master_ = -1, slave_ = -1;
    std::string path_;
};

// The SCPI server of the LibreVNA PC program, one client at a time.
class LibreVnaSimulator : public Simulator {
public:
    LibreVnaSimulator(const Circuit& c, const SimOptions& o, int port) : Simulator(c, o)
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listen_, 4) != 0) {
            const int e = errno;
            ::close(listen_);
            throw FileError::fromErrno(e);
        }
        socklen_t len = sizeof a;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        start();
    }
    ~LibreVnaSimulator() override
    {
        stop();
        ::close(listen_);
    }
    std::string address() const override { return "127.0.0.1:" + std::to_string(port_); }

private:
    void run() override
    {
        while (!stopping_) {
            pollfd p{listen_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int client = ::accept(listen_, nullptr, nullptr);
            if (client < 0)
                continue;
            serve(client);
            ::close(client);
        }
    }

    void serve(int client)
    {
        std::string buffer;
        while (!stopping_) {
            pollfd p{client, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            char buf[512];
            const ssize_t n = ::read(client, buf, sizeof buf);
            if (n <= 0)
                return;
            buffer.append(buf, n);
            for (std::size_t nl; (nl = buffer.find('\n')) != std::string::npos;) {
                std::string line = buffer.substr(0, nl);
                buffer.erase(0, nl + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                if (!command(client, line))
                    return;
            }
        }
    }

    bool command(int client, const std::string& line)
    {
        const auto w = words(line);
        if (w.empty())
            return true;
        const std::string& c = w[0];
        auto number = [&](double& to) {
            try {
                to = std::stod(w.at(1));
            } catch (...) {
                return sendReply(client, "ERROR\n");
            }
            return true;
        };
        if (c == "*IDN?")
            return sendReply(client, "LibreVNA,LibreVNA-GUI,SIM0001,1.5.0-sim\n");
        if (c == "DEV:CONN?")
            return sendReply(client, "SIM0001\n");
        if (c == "VNA:FREQ:START")
            return number(start_);
        if (c == "VNA:FREQ:STOP")
            return number(stop_);
        if (c == "VNA:ACQ:POINTS")
            return number(points_);
        if (c == "VNA:ACQ:SINGLE") {
            done_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.delayMs);
            return true;
        }
        if (c == "VNA:ACQ:FIN?")
            return sendReply(client, std::chrono::steady_clock::now() >= done_ ? "TRUE\n" : "FALSE\n");
        if (c == "VNA:TRAC:DATA?" && w.size() > 1 && (w[1] == "S11" || w[1] == "S21"))
            return trace(client, w[1] == "S11");
        return sendReply(client, "ERROR\n");
    }

    bool trace(int client, bool s11)
    {
        // The fault comes in the S21 trace, the last of a sweep.
        const SimFault fault = s11 ? SimFault::None : nextFault();
        switch (fault) {
        case SimFault::Silence:
            return true;
        case SimFault::Close:
            return false;
        case SimFault::Garbage:
            return sendReply(client, "\x01\xfe[garbage\n");
        case SimFault::ErrorLine:
            return sendReply(client, "ERROR\n");
        default:
            break;
        }
        const int points = static_cast<int>(points_);
        const int count = fault == SimFault::WrongCount ? points - 1 : points;
        std::string out;
        for (int i = 0; i < count; ++i) {
            double f = points > 1 ? start_ + (stop_ - start_) * i / (points - 1) : start_;
            if (fault == SimFault::WrongFrequency && i == count / 2)
                f += 1000 + (stop_ - start_) / points;
            double v[4];
            respond(f, v);
            out += i ? ",[" : "[";
            char fb[40];
            out.append(fb, std::to_chars(fb, fb + sizeof fb, f).ptr);
            out += ',';
            appendNumber(out, s11 ? v[0] : v[2]);
            out += ',';
            appendNumber(out, s11 ? v[1] : v[3]);
            out += ']';
        }
        return sendReply(client, out + "\n");
    }

    int listen_ = -1, port_ = 0;
    double start_ = 1e6, stop_ = 6e9, points_ = 501;
    std::chrono::steady_clock::time_point done_{};
};

}  // namespace

std::unique_ptr<Simulator> startNanoVnaSimulator(const Circuit& c, const SimOptions& o)
{
    return std::make_unique<NanoVnaSimulator>(c, o);
}

std::unique_ptr<Simulator> startLibreVnaSimulator(const Circuit& c, const SimOptions& o, int port)
{
    return std::make_unique<LibreVnaSimulator>(c, o, port);
}
