#pragma once
// A batch of measured crystals and a matched set of N of them. The set's offsets from the
// design frequency F are what the export writes as each crystal's own frequency, so that the
// analyser sees the filter that will be built rather than one of identical crystals.

#include <string>
#include <vector>

#include "common/errors.h"

// A crystal list that cannot be read, or a set that cannot be formed from it.
class CrystalListError : public AppError {
public:
    using AppError::AppError;
};

struct MeasuredCrystal {
    std::string name;
    double fsHz = 0;
};

// The text of a crystal list: one crystal a line as "name,fs_hz", fs in Hz with '.' as the
// decimal separator. The first line may be a header (its second field is not a number);
// blank lines are skipped; spaces, tabs and double quotes around a field are ignored; LF or
// CR LF ends a line. Errors name the line: "line 4: expected name,fs_hz". Names are unique.
std::vector<MeasuredCrystal> readCrystalList(const std::string& text);

// The same from a file; a file that cannot be read fails with FileError.
std::vector<MeasuredCrystal> readCrystalListFile(const std::string& path);

// The crystals by rising fs; crystals of equal fs keep their order.
std::vector<MeasuredCrystal> sortedByFs(std::vector<MeasuredCrystal> crystals);

// `listed` and `added` as one batch by rising fs. A name that occurs twice in the batch is
// refused with CrystalListError ("'X1' is listed twice").
std::vector<MeasuredCrystal> joinCrystals(const std::vector<MeasuredCrystal>& listed,
                                          const std::vector<MeasuredCrystal>& added);

struct SetMember {
    std::string name;
    double fsHz = 0;
    double offsetHz = 0;  // fs - F
};

struct MatchedSet {
    std::vector<SetMember> members;  // by rising fs
    double spreadHz = 0;             // highest fs - lowest fs
};

// The given crystals as a set, sorted by fs, with their offsets from fHz (for a set the user
// ticked by hand).
MatchedSet makeSet(std::vector<MeasuredCrystal> crystals, double fHz);

// The n crystals of the list whose fs lie closest together: sorted by fs, the n consecutive
// ones with the smallest spread. Among equal spreads the set centred nearest F wins, then the
// lower one. Refused when n < 1 or the list holds fewer than n crystals.
MatchedSet pickMatchedSet(std::vector<MeasuredCrystal> crystals, int n, double fHz);
