#include "designer/core/design_inputs.h"

#include <cerrno>
#include <set>
#include <sstream>

#include "common/file_text.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "designer/core/design_file.h"
#include "designer/core/memory_port.h"

using design::Field;

namespace {

constexpr const char* kHeader = "mirabo-design 1";
constexpr const char* kSetKey = "set_fs_hz";

// Entries in the order they are written.
const std::vector<std::pair<std::string, Field>>& entries()
{
    static const std::vector<std::pair<std::string, Field>> list = [] {
        std::vector<std::pair<std::string, Field>> l{
            {"crystal_mhz", Field::CrystalMhz}, {"motional_l_h", Field::MotionalL}, {"holder_c0_pf", Field::HolderC0},
            {"crystal_q", Field::CrystalQ},     {"bandwidth_hz", Field::Bandwidth}, {"crystals", Field::CrystalCount},
            {"q1", Field::Q1},                  {"qn", Field::Qn}};
        for (int j = 1; j <= 9; ++j)
            l.emplace_back(std::string("k").append(integerText(j)).append(integerText(j + 1)),
                           design::couplingField(j));
        l.emplace_back("end_r_ohm", Field::EndR);
        return l;
    }();
    return list;
}

std::string trimmed(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

[[noreturn]] void refuse(int line, const std::string& what)
{
    throw DesignInputsError("line " + integerText(line) + ": " + what);
}

}  // namespace

std::string designInputsText(const DesignInputs& inputs)
{
    std::string out = std::string(kHeader) + "\n";
    for (const auto& [key, field] : entries()) {
        const auto it = inputs.fields.find(field);
        if (it != inputs.fields.end())
            out += key + "=" + it->second + "\n";
    }
    out += std::string(kSetKey) + "=";
    for (std::size_t i = 0; i < inputs.setFsHz.size(); ++i) {
        if (i)
            out += ',';
        out += generalText(inputs.setFsHz[i], 15);
    }
    return out + "\n";
}

DesignInputs readDesignInputs(const std::string& text)
{
    DesignInputs in;
    const std::map<Field, std::string> start = defaultDesignFields();
    for (const auto& [key, field] : entries())
        in.fields[field] = start.at(field);
    std::set<std::string> seen;
    bool headed = false;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (!headed) {
            if (line != kHeader)
                refuse(number, "not a Mirabo design (the first line is not '" + std::string(kHeader) + "')");
            headed = true;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            refuse(number, "expected name=value");
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = trimmed(line.substr(eq + 1));
        if (!seen.insert(key).second)
            refuse(number, "'" + key + "' is given twice");
        if (key == kSetKey) {
            std::size_t begin = 0;
            while (!value.empty()) {
                const std::size_t comma = value.find(',', begin);
                const std::string f = trimmed(value.substr(begin, comma - begin));
                if (!isNumber(f) || !(readNumber(f) > 0))
                    refuse(number, "'" + f + "' is not a frequency in Hz");
                in.setFsHz.push_back(readNumber(f));
                if (comma == std::string::npos)
                    break;
                begin = comma + 1;
            }
            continue;
        }
        bool known = false;
        for (const auto& [name, field] : entries())
            if (name == key) {
                in.fields[field] = value;
                known = true;
            }
        if (!known)
            refuse(number, "unknown entry '" + key + "'");
    }
    if (!headed)
        throw DesignInputsError("The file is empty: it holds no Mirabo design.");
    return in;
}

DesignInputs readDesignInputsFile(const std::string& path)
{
    return readDesignInputs(readFileText(path));
}

void writeDesignInputsFile(const std::string& path, const DesignInputs& inputs)
{
    std::vector<std::string> lines;
    std::istringstream text(designInputsText(inputs));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    writeLinesReplacing(path, lines);
}
