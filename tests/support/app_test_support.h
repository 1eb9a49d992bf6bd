#pragma once
// A running Sorvel on the offscreen platform, in a scratch working directory, with its
// message boxes, beeps and file dialogs answered by the test instead of a person.

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analyser/app/sorvel_app.h"

class RunningSorvel {
public:
    // withStartFile: put the sample "startfile.cir" in the working directory first.
    // start: how the program starts, in place of a plain SorvelApp::start.
    explicit RunningSorvel(bool withStartFile = true,
                           std::function<void(SorvelApp&)> start = nullptr)
        : oldDir_(QDir::currentPath())
    {
        if (withStartFile)
            QFile::copy(QString(TEST_DATA_DIR) + "/startfile.cir", dir_.filePath("startfile.cir"));
        QDir::setCurrent(dir_.path());
        app_ = std::make_unique<SorvelApp>();
        QtWindowPort& port = app_->port();
        port.showMessage = [this](const std::string& text) { messages.push_back(text); };
        port.soundBeep = [this] { ++beeps; };
        port.runOpenDialog = [this] { return answer(openAnswers); };
        port.runSaveDialog = [this] { return answer(saveAnswers); };
        app_->askUnsaved = [this] {
            ++unsavedQuestions;
            return unsavedAnswer;
        };
        if (start)
            start(*app_);
        else
            app_->start();
        waitForActivations(1);
        // Button-less test moves go through the cursor, which reports nothing when it
        // does not move: every test starts with the pointer parked in a corner.
        QCursor::setPos(main().mapToGlobal(QPoint(0, 0)));
        QApplication::processEvents();
    }
    ~RunningSorvel() { QDir::setCurrent(oldDir_); }

    SorvelApp& app() { return *app_; }
    MainWindow& main() { return app_->mainWindow(); }
    ClientArea& client() { return *main().client(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Activation is queued from the show event; each one beeps first.
    bool waitForActivations(int count)
    {
        return QTest::qWaitFor([&] { return beeps >= count; }, 2000);
    }

    std::string field(Field f) { return edit(f)->text().toStdString(); }
    QLineEdit* edit(Field f) { return qobject_cast<QLineEdit*>(main().control(f)); }
    void type(Field f, const QString& text) { edit(f)->setText(text); }
    void clickControl(ControlId id) { QTest::mouseClick(main().control(id), Qt::LeftButton); }
    std::vector<std::string> memoLines()
    {
        auto* memo = qobject_cast<QPlainTextEdit*>(main().control(Memo::Listing));
        std::vector<std::string> lines;
        for (const QString& l : memo->toPlainText().split('\n'))
            lines.push_back(l.toStdString());
        return lines;
    }

    // The client area as a person sees it: background, picture and controls.
    QImage screen() { return client().grab().toImage(); }
    QColor pixel(QPoint at) { return screen().pixelColor(at); }
    bool hintShown() { return main().control(Label::PlotHint)->isVisible(); }

    // Pointer moves, then a press and release, on the window's surface.
    void clickSurface(QPoint at)
    {
        QTest::mouseMove(&client(), at);
        QTest::mouseClick(&client(), Qt::LeftButton, {}, at);
    }
    void drag(QPoint from, QPoint to)
    {
        QTest::mouseMove(&client(), from);
        QTest::mousePress(&client(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&client(), to);
        QTest::mouseRelease(&client(), Qt::LeftButton, {}, to);
    }

    std::vector<std::string> messages;
    int beeps = 0;
    // Closing with unsaved changes: how often it was asked, and the answer given.
    int unsavedQuestions = 0;
    SorvelApp::Unsaved unsavedAnswer = SorvelApp::Unsaved::Discard;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;

private:
    static std::optional<std::string> answer(std::deque<std::optional<std::string>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }

    QString oldDir_;
    QTemporaryDir dir_;
    std::unique_ptr<SorvelApp> app_;
};

// A control's text as the main window's table gives it.
inline std::string defaultText(ControlId id)
{
    for (const ControlRow& row : mainWindowControls())
        if (row.id == id)
            return row.text;
    return {};
}

inline const QColor kGreen(0, 128, 0), kWhiteColour(255, 255, 255), kBlue(0, 0, 255),
    kBackground(151, 204, 255);

// Pixels of `colour` inside the plot's frame.
inline int countInPlot(const QImage& img, QColor colour)
{
    int n = 0;
    for (int y = 41; y < 339; ++y)
        for (int x = 51; x < 449; ++x)
            n += img.pixelColor(x, y) == colour;
    return n;
}
