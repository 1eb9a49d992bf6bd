// Feeds the reader thousands of damaged circuit files. Each read must end with a model
// that stays inside the table, or with one of the reader's messages; every model read
// must solve or fail with a floating-point message, and must save and read back unchanged.

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "tests/support/circuit_test_support.h"
#include "ladder/engine.h"
#include "common/errors.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace {

using namespace circuittest;

const std::vector<std::vector<std::string>>& seeds()
{
    static const std::vector<std::vector<std::string>> files{
        defaultCircuitLines(),
        {"6", "100", "212.345", "212.345", "1", "8.86723804473877", "0.0702000036835671",
         "3.20000004768372", "85000", "-3000", "3000", "6", "500", "60", "10", "cap", "par",
         "15.5", "xtl", "ser", "0", "cap", "par", "31", "xtl", "SER", "-97.5", "duc", "PAR",
         "1", "rlb"},
        {"8", "250", "50", "75", "0", "1", "21", "0", "2", "-80", "10", "res", "ser", "10",
         "dur", "par", "1", "rlb", "wir", "x", "y", "ind", "ser", "330", "dul", "par", "5",
         "duc", "ser", "99", "cap", "par", "1e-3"},
    };
    return files;
}

const std::string kOddLines[] = {
    "", " ", "81", "80", "-1", "0", "2147483647", "-2147483648", "99999999999", "1e400",
    "-1e400", "1e-400", "nan", "inf", "0x10", "1,5", "\t1", "1 ", " 1", "+", "-", ".", "1.",
    ".5", "1e", "1e+", "SER", "PAR", "Ser", "ser", "par", "cap", "ind", "res", "rlb", "xtl",
    "duc", "dul", "dur", "wir", "CAP", "cap ", "\r", "\x1a", std::string("\0ser", 4),
};

std::string randomBytes(std::mt19937& rng, size_t n)
{
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(rng() & 0xff);
    return s;
}

// One damaged file made from a seed by a few random edits.
std::string mutate(std::mt19937& rng)
{
    auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    std::vector<std::string> lines = seeds()[pick(seeds().size())];
    const int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits && !lines.empty(); ++e) {
        const size_t at = pick(lines.size());
        switch (pick(8)) {
        case 0: lines[at] = kOddLines[pick(std::size(kOddLines))]; break;
        case 1: lines.insert(lines.begin() + at, kOddLines[pick(std::size(kOddLines))]); break;
        case 2: lines.erase(lines.begin() + at); break;
        case 3: lines[at] = randomBytes(rng, pick(12)); break;
        case 4: lines[at] += std::string(200 + pick(2000), "0 9e"[pick(4)]); break;
        case 5: lines.resize(at); break;
        case 6: lines[0] = std::to_string(static_cast<int>(pick(200)) - 50); break;
        default: std::swap(lines[at], lines[pick(lines.size())]); break;
        }
    }
    std::string bytes;
    const bool lfOnly = pick(4) == 0;
    for (const auto& l : lines)
        bytes += l + (lfOnly ? "\n" : "\r\n");
    switch (pick(6)) {
    case 0: bytes.resize(pick(bytes.size() + 1)); break;  // cut anywhere
    case 1: bytes = randomBytes(rng, pick(600)); break;   // not a circuit file at all
    default: break;
    }
    return bytes;
}

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A conversion message quoting the line (any bytes; a NUL in the line ends the text of
// the message), or the part count refusal.
bool isReaderMessage(const std::string& message, bool fileHasNul)
{
    static const std::regex tooMany("The circuit has [0-9]+ parts; the limit is 80\\.");
    return (!message.empty() && message[0] == '\'' &&
            (endsWith(message, "' is not a valid integer value") ||
             endsWith(message, "' is not a valid floating point value") || fileHasNul)) ||
           std::regex_match(message, tooMany);
}

void expectInsideTheTable(const Circuit& m)
{
    ASSERT_LE(m.partcount, kMaxParts);
    for (int n = 1; n <= kMaxParts + 1; ++n) {
        const Part& p = m.part(n);
        ASSERT_LE(p.partconn.size(), 255u);
        ASSERT_LE(p.partkind.size(), 3u);
        ASSERT_TRUE(p.partcode == kNoPart || p.partcode == partCodeOf(p.partkind)) << n;
        if (n > m.partcount) {
            ASSERT_TRUE(p.partcode == kNoPart && p.partconn == "ser" && p.partvalue == 0) << n;
        }
    }
}

TEST(ReaderFuzz, DamagedFilesEndInAModelOrAMessage)
{
    TempDir dir;
    std::mt19937 rng(20081);
    int read = 0, refused = 0, solved = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string bytes = mutate(rng);
        Circuit m = Circuit::startup();
        FakeWindow w;
        const auto message = readText(m, w, dir, bytes);
        if (message) {
            ++refused;
            ASSERT_TRUE(isReaderMessage(*message, bytes.find('\0') != std::string::npos)) << *message;
        } else {
            ++read;
        }
        expectInsideTheTable(m);

        for (double f : {m.startfreq, (m.startfreq + m.stopfreq) / 2, 0.0, 7.0}) {
            try {
                solveLadder(m, f);
                ++solved;
            } catch (const FloatError&) {
            }
        }

        if (message)
            continue;
        // What was read saves and reads back to the same file. A table step that rounds
        // to 0 in the file would be replaced on reading, so it is kept clear of that.
        if (readNumber(fixedText(m.tablestep, 11, 5)) == 0)
            m.tablestep = 1;
        const std::string saved = circuitText(m);
        Circuit back = Circuit::startup();
        FakeWindow w2;
        const auto again = readText(back, w2, dir, saved);
        ASSERT_EQ(again, std::nullopt) << saved;
        ASSERT_EQ(circuitText(back), saved);
    }
    // The mix must exercise both outcomes and the engine.
    EXPECT_GT(read, 500);
    EXPECT_GT(refused, 500);
    EXPECT_GT(solved, 1000);
}

}  // namespace
