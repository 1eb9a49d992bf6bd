#pragma once
// A running Mirabo on the offscreen platform: its message boxes recorded, its beep silent,
// files in a scratch folder, and the steps clicked as a user clicks them.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "designer/app/mirabo_app.h"

struct RunningMirabo : ::testing::Test {
    QStringList messages;
    std::unique_ptr<MiraboApp> app;
    QTemporaryDir dir;

    void SetUp() override
    {
        ui::showMessage = [this](QWidget*, const QString& text) { messages << text; };
        ui::beep = [] {};
        app = std::make_unique<MiraboApp>();
        app->start();
    }
    QLineEdit* field(design::Field f) { return controlAs<QLineEdit>(app->mainControls, f); }
    void click(design::Command c) { controlAs<QAbstractButton>(app->mainControls, c)->click(); }
    void design(const char* r = "100")
    {
        field(design::Field::EndR)->setText(r);
        for (design::Command c : {design::Command::CharacterizeCrystal, design::Command::SetBandwidthAndOrder,
                                  design::Command::SetEndQ, design::Command::MatchEnds,
                                  design::Command::ComputeCouplingCapacitors, design::Command::TuneMeshes})
            click(c);
    }
    QString path(const char* name) { return dir.filePath(name); }
};

