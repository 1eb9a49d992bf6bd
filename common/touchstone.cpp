#include "common/touchstone.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <optional>

#include "common/numread.h"
#include "common/numtext.h"

namespace {

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// Shown in messages as written, but never longer than a line of a message box.
std::string quoted(std::string_view word)
{
    constexpr std::size_t kShown = 40;
    std::string shown(word.substr(0, kShown));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < ' ' || c == 127)
            c = '?';
    return "'" + shown + (word.size() > kShown ? "...'" : "'");
}

enum class Form { DB, MA, RI };
enum class Layout { Full, Lower, Upper };
enum class Section { Header, Information, NetworkData, NoiseData, Finished };

class Reader {
public:
    Reader(std::string_view text, int expectedPorts) : text_(text), expectedPorts_(expectedPorts) {}

    Network read()
    {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")  // a byte-order mark some editors put first
            text_.remove_prefix(3);
        std::size_t at = 0;
        while (at < text_.size()) {
            std::size_t end = at;
            while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r')
                ++end;
            ++line_;
            readLine(text_.substr(at, end - at));
            at = end + 1;  // past LF, CR, or the CR of CR LF
            if (end < text_.size() && text_[end] == '\r' && at < text_.size() && text_[at] == '\n')
                ++at;
        }
        return finish();
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { throw TouchstoneError(line_, reason); }

    double number(std::string_view word) const
    {
        const std::string text(word);
        if (!isNumber(text))
            fail(quoted(word) + " is not a number");
        return readNumber(text);
    }

    int count(std::string_view keyword, const std::vector<std::string_view>& args) const
    {
        if (args.size() != 1 || !isInteger(std::string(args[0])) || readInteger(std::string(args[0])) < 1)
            fail(std::string(keyword) + " needs one whole number above 0");
        return readInteger(std::string(args[0]));
    }

    void readLine(std::string_view raw)
    {
        const std::string_view content = raw.substr(0, raw.find('!'));
        const auto words = wordsOf(content);
        if (words.empty())
            return;
        if (section_ == Section::Finished)
            return;  // after [End]
        if (section_ == Section::Information) {
            const auto open = content.find('[');
            const auto close = content.find(']');
            if (words[0][0] == '[' && close != std::string_view::npos &&
                keyName(content.substr(open, close + 1 - open)) == "end information")
                section_ = Section::Header;
            return;
        }
        if (words[0][0] == '#')
            optionLine(content);
        else if (words[0][0] == '[')
            keywordLine(content);
        else
            numberLine(words);
        anythingSeen_ = true;
    }

    // "[Number   of Ports]" -> "number of ports"
    static std::string keyName(std::string_view bracketed)
    {
        const auto words = wordsOf(bracketed.substr(1, bracketed.size() - 2));
        std::string name;
        for (auto w : words)
            name += (name.empty() ? "" : " ") + lowered(w);
        return name;
    }

    void optionLine(std::string_view content)
    {
        if (version_ == 2) {
            endReference();
            if (optionsSeen_)
                fail("a second option line");
            if (section_ != Section::Header)
                fail("the option line must come before [Network Data]");
        } else if (optionsSeen_) {
            return;  // version 1 files use the first option line and ignore the rest
        } else if (!network_.frequencyHz.empty()) {
            fail("the option line must come before the data");
        }
        optionsSeen_ = true;
        const auto words = wordsOf(content.substr(content.find('#') + 1));
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::string w = lowered(words[i]);
            if (w == "hz")
                frequencyScale_ = 1;
            else if (w == "khz")
                frequencyScale_ = 1e3;
            else if (w == "mhz")
                frequencyScale_ = 1e6;
            else if (w == "ghz")
                frequencyScale_ = 1e9;
            else if (w == "db")
                form_ = Form::DB;
            else if (w == "ma")
                form_ = Form::MA;
            else if (w == "ri")
                form_ = Form::RI;
            else if (w == "s")
                continue;
            else if (w == "y" || w == "z" || w == "h" || w == "g")
                fail("only S-parameters can be read, this file holds " +
                     std::string(1, static_cast<char>(w[0] - 'a' + 'A')) + "-parameters");
            else if (w == "r") {
                optionReferences_.clear();
                while (i + 1 < words.size() && isNumber(std::string(words[i + 1])))
                    optionReferences_.push_back(resistance(words[++i]));
                if (optionReferences_.empty())
                    fail("R needs a resistance after it");
            } else {
                fail("unknown option " + quoted(words[i]));
            }
        }
    }

    double resistance(std::string_view word) const
    {
        const double r = number(word);
        if (!(r > 0))
            fail("a reference resistance must be above 0, found " + quoted(word));
        return r;
    }

    void keywordLine(std::string_view content)
    {
        const auto close = content.find(']');
        if (close == std::string_view::npos)
            fail("a keyword without its closing ']'");
        const std::size_t open = content.find('[');
        const std::string_view written = content.substr(open, close + 1 - open);
        const std::string key = keyName(written);
        const auto args = wordsOf(content.substr(close + 1));

        if (key == "version") {
            if (anythingSeen_)
                fail("[Version] must come first");
            if (args.size() != 1 || !isNumber(std::string(args[0])) ||
                (number(args[0]) != 2.0 && number(args[0]) != 2.1))
                fail("version " + (args.empty() ? std::string("''") : quoted(args[0])) +
                     " cannot be read (1.0, 1.1, 2.0 and 2.1 can)");
            version_ = 2;
            return;
        }
        if (version_ != 2)
            fail("keywords need [Version] 2.0 before them");
        endReference();
        if (section_ == Section::NetworkData && key != "noise data" && key != "end")
            fail(std::string(written) + " inside the network data");  // only the data may follow it

        if (key == "number of ports") {
            if (ports_ != 0)
                fail("a second [Number of Ports]");
            const int n = count("[Number of Ports]", args);
            if (n > 2)
                fail("only 1- and 2-port files can be read, this one has " + integerText(n) + " ports");
            ports_ = n;
        } else if (key == "two-port data order") {
            const std::string order = args.size() == 1 ? lowered(args[0]) : "";
            if (order != "12_21" && order != "21_12")
                fail("[Two-Port Data Order] must be 12_21 or 21_12");
            order12First_ = order == "12_21";
        } else if (key == "number of frequencies") {
            declaredFrequencies_ = count("[Number of Frequencies]", args);
        } else if (key == "reference") {
            if (ports_ == 0)
                fail("[Reference] must come after [Number of Ports]");
            references_.clear();
            referenceOpen_ = true;
            addReferences(args);
        } else if (key == "matrix format") {
            const std::string format = args.size() == 1 ? lowered(args[0]) : "";
            if (format == "full")
                layout_ = Layout::Full;
            else if (format == "lower")
                layout_ = Layout::Lower;
            else if (format == "upper")
                layout_ = Layout::Upper;
            else
                fail("[Matrix Format] must be Full, Lower or Upper");
        } else if (key == "mixed-mode order") {
            fail("mixed-mode data cannot be read");
        } else if (key == "begin information") {
            section_ = Section::Information;
        } else if (key == "network data") {
            if (ports_ == 0)
                fail("[Number of Ports] must come before [Network Data]");
            if (declaredFrequencies_ == 0)
                fail("[Number of Frequencies] must come before [Network Data]");
            if (ports_ == 2 && layout_ == Layout::Full && !order12First_)
                fail("[Two-Port Data Order] must come before [Network Data]");
            checkOptionReferences();
            if (dataSeen_)
                fail("a second [Network Data]");
            dataSeen_ = true;
            section_ = Section::NetworkData;
        } else if (key == "noise data") {
            closeNetworkData();
            section_ = Section::NoiseData;
        } else if (key == "end") {
            closeNetworkData();
            section_ = Section::Finished;
        }
        // Other keywords ([Number of Noise Frequencies], later versions' additions) say
        // nothing this reader needs and are passed over.
    }

    void addReferences(const std::vector<std::string_view>& words)
    {
        for (auto w : words) {
            if (references_.size() == static_cast<std::size_t>(ports_))
                fail("[Reference] needs " + integerText(ports_) + (ports_ == 1 ? " value" : " values") +
                     ", found more");
            references_.push_back(resistance(w));
        }
        if (references_.size() == static_cast<std::size_t>(ports_))
            referenceOpen_ = false;
    }

    // A [Reference] with fewer values than ports ends at the next keyword; one value is
    // taken for every port.
    void endReference()
    {
        if (!referenceOpen_)
            return;
        referenceOpen_ = false;
        if (references_.empty())
            fail("[Reference] needs a resistance");
        if (references_.size() != static_cast<std::size_t>(ports_))
            references_.assign(static_cast<std::size_t>(ports_), references_.front());
    }

    void closeNetworkData()
    {
        if (section_ != Section::NetworkData)
            return;
        if (network_.frequencyHz.size() != static_cast<std::size_t>(declaredFrequencies_))
            fail("[Number of Frequencies] is " + integerText(declaredFrequencies_) + " but the data has " +
                 integerText(static_cast<long long>(network_.frequencyHz.size())));
    }

    void numberLine(const std::vector<std::string_view>& words)
    {
        if (version_ == 2) {
            if (referenceOpen_) {
                addReferences(words);
                return;
            }
            if (section_ == Section::NoiseData)
                return;
            if (section_ != Section::NetworkData)
                fail("numbers outside [Network Data]");
        } else if (noise_) {
            return;
        }
        std::vector<double> numbers;
        numbers.reserve(words.size());
        for (auto w : words)
            numbers.push_back(number(w));
        if (version_ == 1 && ports_ == 0)
            choosePorts(words.size());
        dataRow(words, numbers);
    }

    // Version 1 files say their port count only by their name, or by the data's width.
    void choosePorts(std::size_t found)
    {
        if (expectedPorts_ > 2)
            fail("only 1- and 2-port files can be read, this one has " + integerText(expectedPorts_) + " ports");
        if (expectedPorts_ != 0)
            ports_ = expectedPorts_;
        else if (found == 3)
            ports_ = 1;
        else if (found == 9)
            ports_ = 2;
        else
            fail("expected 3 numbers (one port) or 9 (two ports), found " +
                 integerText(static_cast<long long>(found)));
        order12First_ = false;
        checkOptionReferences();
    }

    // "R 50" serves every port; version 1.1 also allows one resistance per port.
    void checkOptionReferences() const
    {
        if (optionReferences_.size() > 1 && optionReferences_.size() != static_cast<std::size_t>(ports_))
            fail("the option line gives " + integerText(static_cast<long long>(optionReferences_.size())) +
                 " resistances for " + integerText(ports_) + (ports_ == 1 ? " port" : " ports"));
    }

    void dataRow(const std::vector<std::string_view>& words, const std::vector<double>& numbers)
    {
        const std::size_t pairs = ports_ == 1 ? 1 : layout_ == Layout::Full ? 4 : 3;
        const std::size_t expected = 1 + 2 * pairs;
        const double frequency = numbers[0] * frequencyScale_ + 0.0;  // no -0
        const bool rises = network_.frequencyHz.empty() || frequency > network_.frequencyHz.back();

        // Version 1 two-port files may end with noise parameters: five numbers a line, the
        // first frequency not above the last network frequency.
        if (version_ == 1 && ports_ == 2 && words.size() == 5 && !rises && std::isfinite(frequency)) {
            noise_ = true;
            return;
        }
        if (words.size() != expected)
            fail("expected " + integerText(static_cast<long long>(expected)) + " numbers, found " +
                 integerText(static_cast<long long>(words.size())));
        if (!std::isfinite(frequency))
            fail("frequency " + quoted(words[0]) + " is out of range");
        if (frequency < 0)
            fail("frequency " + quoted(words[0]) + " is negative");
        if (!rises)
            fail("frequency " + quoted(words[0]) + " does not rise above the one before");
        if (declaredFrequencies_ > 0 &&
            network_.frequencyHz.size() == static_cast<std::size_t>(declaredFrequencies_))
            fail("more frequencies than [Number of Frequencies] " + integerText(declaredFrequencies_));

        std::complex<double> v[4];
        for (std::size_t k = 0; k < pairs; ++k)
            v[k] = value(numbers[1 + 2 * k], numbers[2 + 2 * k], words[1 + 2 * k], words[2 + 2 * k]);

        network_.frequencyHz.push_back(frequency);
        network_.s11.push_back(v[0]);
        if (ports_ == 1)
            return;
        std::complex<double> s21, s12;
        switch (layout_) {
        case Layout::Full:
            s21 = *order12First_ ? v[2] : v[1];
            s12 = *order12First_ ? v[1] : v[2];
            network_.s22.push_back(v[3]);
            break;
        case Layout::Lower:  // S11 S21 S22 or S11 S12 S22 of a reciprocal network
        case Layout::Upper:
            s21 = s12 = v[1];
            network_.s22.push_back(v[2]);
            break;
        }
        network_.s21.push_back(s21);
        network_.s12.push_back(s12);
    }

    std::complex<double> value(double a, double b, std::string_view first, std::string_view second) const
    {
        double re = a, im = b;
        if (form_ != Form::RI) {
            const double magnitude = form_ == Form::DB ? std::pow(10.0, a / 20) : a;
            const double angle = b * (std::numbers::pi / 180);
            re = magnitude * std::cos(angle);
            im = magnitude * std::sin(angle);
        }
        const double size = std::hypot(re, im);
        if (!(size <= kTouchstoneLargestMagnitude))
            fail("the value " + quoted(std::string(first) + " " + std::string(second)) + " is above 300 dB");
        return {re, im};
    }

    Network finish()
    {
        if (section_ == Section::NetworkData)
            closeNetworkData();
        if (network_.frequencyHz.empty()) {
            line_ = std::max(line_, 1L);
            fail(version_ == 2 && !dataSeen_ ? "no [Network Data]" : "no network data");
        }
        network_.ports = ports_;
        std::vector<double> r = !references_.empty() ? references_ : optionReferences_;
        if (r.empty())
            r.push_back(50);
        network_.referenceR1 = r.front();
        network_.referenceR2 = ports_ == 2 ? r.back() : r.front();
        return std::move(network_);
    }

    std::string_view text_;
    int expectedPorts_;
    long line_ = 0;

    int version_ = 1;
    bool anythingSeen_ = false;
    bool optionsSeen_ = false;
    double frequencyScale_ = 1e9;
    Form form_ = Form::MA;
    std::vector<double> optionReferences_;

    int ports_ = 0;
    std::optional<bool> order12First_;  // version 1: S11 S21 S12 S22
    Layout layout_ = Layout::Full;
    int declaredFrequencies_ = 0;
    std::vector<double> references_;
    bool referenceOpen_ = false;
    bool dataSeen_ = false;
    Section section_ = Section::Header;
    bool noise_ = false;

    Network network_;
};

}  // namespace

TouchstoneError::TouchstoneError(long line, const std::string& reason)
    : AppError("line " + integerText(line) + ": " + reason), line_(line)
{
}

Network readTouchstone(std::string_view text, int expectedPorts)
{
    return Reader(text, expectedPorts).read();
}

int portsFromFileName(std::string_view path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return 0;
    const std::string ext = lowered(path.substr(dot + 1));
    if (ext.size() < 3 || ext.size() > 5 || ext.front() != 's' || ext.back() != 'p')
        return 0;
    int ports = 0;
    for (std::size_t i = 1; i + 1 < ext.size(); ++i) {
        if (ext[i] < '0' || ext[i] > '9')
            return 0;
        ports = ports * 10 + (ext[i] - '0');
    }
    return ports;
}

Network readTouchstoneFile(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw FileError::fromErrno(errno);
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, n);
    if (std::ferror(file.get()))
        throw FileError::fromErrno(errno);
    return readTouchstone(text, portsFromFileName(path));
}
