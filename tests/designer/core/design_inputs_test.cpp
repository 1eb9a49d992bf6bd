// Design files and the out-of-date marks, without windows.
#include <gtest/gtest.h>

#include "designer/core/design_inputs.h"
#include "designer/core/freshness.h"
#include "designer/core/memory_port.h"
#include "tests/support/circuit_files.h"
#include "tests/support/fake_form.h"

namespace {

using design::Field;

std::string refusal(const std::string& text)
{
    try {
        readDesignInputs(text);
    } catch (const DesignInputsError& e) {
        return e.what();
    }
    return "taken";
}

TEST(DesignInputs, WhatIsWrittenReadsBackExactly)
{
    DesignInputs in;
    in.fields = typedDesignFields(mainFormWithDefaults());
    in.fields[Field::CrystalMhz] = "9.9995123";
    in.fields[Field::K34] = "0.93 ";  // as typed: the text, not its number
    in.fields[Field::EndR] = "x";
    in.setFsHz = {9999990.5, 10000001, 10000012.123456789};
    const std::string text = designInputsText(in);
    EXPECT_EQ(text.rfind("mirabo-design 1\ncrystal_mhz=9.9995123\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nk910=.001\nend_r_ohm=x\nset_fs_hz=9999990.5,10000001,10000012.1234568\n"),
              std::string::npos)
        << text;

    const circuittest::TempDir dir;
    writeDesignInputsFile(dir.file("a.mirabo"), in);
    const DesignInputs back = readDesignInputsFile(dir.file("a.mirabo"));  // written with CR LF
    auto expected = in.fields;
    expected[Field::K34] = "0.93";  // blanks around a value are not kept
    EXPECT_EQ(back.fields, expected);
    ASSERT_EQ(back.setFsHz.size(), 3u);
    EXPECT_EQ(back.setFsHz[0], 9999990.5);
    EXPECT_NEAR(back.setFsHz[2], 10000012.123456789, 1e-6);

    // Entries left out keep the window's start texts; no set is an empty list.
    const DesignInputs few = readDesignInputs("# my filter\n\nmirabo-design 1\nbandwidth_hz = 500\nset_fs_hz=\n");
    EXPECT_EQ(few.fields.at(Field::Bandwidth), "500");
    EXPECT_EQ(few.fields.at(Field::CrystalMhz), "10.0");
    EXPECT_EQ(few.fields.size(), in.fields.size());
    EXPECT_TRUE(few.setFsHz.empty());
}

TEST(DesignInputs, RefusalsNameTheLine)
{
    EXPECT_EQ(refusal(""), "The file is empty: it holds no Mirabo design.");
    EXPECT_EQ(refusal("3\n"), "line 1: not a Mirabo design (the first line is not 'mirabo-design 1')");
    EXPECT_EQ(refusal("mirabo-design 1\ncolour=red\n"), "line 2: unknown entry 'colour'");
    EXPECT_EQ(refusal("mirabo-design 1\nq1\n"), "line 2: expected name=value");
    EXPECT_EQ(refusal("mirabo-design 1\nq1=1\r\nq1=2\n"), "line 3: 'q1' is given twice");
    EXPECT_EQ(refusal("mirabo-design 1\nset_fs_hz=1e7,,2\n"), "line 2: '' is not a frequency in Hz");
    EXPECT_EQ(refusal("mirabo-design 1\nset_fs_hz=1e7,-5\n"), "line 2: '-5' is not a frequency in Hz");
    EXPECT_THROW(readDesignInputsFile("/nonexistent/a.mirabo"), FileError);
}

TEST(Freshness, AnInputChangeMarksEveryResultUntilAStepWritesIt)
{
    Freshness f;
    int changes = 0;
    f.onChange = [&] { ++changes; };
    EXPECT_FALSE(f.outOfDate(Field::EndC1));
    EXPECT_FALSE(f.realizedOutOfDate());

    f.inputChanged();
    for (Field c : computedDesignFields())
        EXPECT_TRUE(f.outOfDate(c));
    EXPECT_FALSE(f.outOfDate(Field::Bandwidth)) << "inputs are never out of date";
    EXPECT_TRUE(f.realizedOutOfDate());

    // The steps write through the port: what they write is up to date, the rest is not.
    FakeForm w = mainFormWithDefaults();
    FreshnessPort port(w, f);
    port.setText(Field::EndC1, "12.5");
    EXPECT_EQ(w.fields.at(Field::EndC1), "12.5");
    EXPECT_FALSE(f.outOfDate(Field::EndC1));
    EXPECT_TRUE(f.outOfDate(Field::EndCn));
    port.message("m");
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"m"});
    f.realizedComputed();
    EXPECT_FALSE(f.realizedOutOfDate());
    EXPECT_EQ(changes, 3);
    f.realizedComputed();
    port.setText(Field::EndC1, "12.5");
    EXPECT_EQ(changes, 3) << "nothing changed, nothing to show";
}

}  // namespace
