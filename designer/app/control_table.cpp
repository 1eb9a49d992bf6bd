#include "designer/app/control_table.h"

#include <QFrame>
#include <algorithm>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "designer/app/help_text.h"

namespace {

using K = ControlKind;

namespace design_table {
using namespace design;

// Step labels stand left of their buttons, field labels left of their fields; the
// positions the design gives are those of the fields and buttons.
constexpr ControlSpec kMain[] = {
    {Label::Instructions, "Label1", K::Label, "Follow instructions in numeric order:  ", 8, 0, 300, 15, kBold},

    {Label::CrystalMhz, "Label2", K::Label, "F , MHz", 0, 16, 54, 21, kRight},
    {Field::CrystalMhz, "Edit1", K::Edit, "10.0", 56, 16, 57, 21},
    {Label::MotionalL, "Label3", K::Label, "Motional L, Henry", 115, 16, 99, 21, kRight},
    {Field::MotionalL, "Edit2", K::Edit, ".02", 216, 16, 65, 21},
    {Label::CrystalQ, "Label4", K::Label, "Q-u", 283, 16, 43, 21, kRight},
    {Field::CrystalQ, "Edit4", K::Edit, "200000", 328, 16, 81, 21},
    {Label::HolderC0, "Label5", K::Label, "C0, pF.", 411, 16, 59, 21, kRight},
    {Field::HolderC0, "Edit3", K::Edit, "3.0", 472, 16, 57, 21},
    {Label::Step1, "Label6", K::Label, " 1. Enter or edit crystal parameters and click:", 0, 40, 246, 17, kAqua | kRight},
    {Command::CharacterizeCrystal, "Button1", K::Button, "1. Characterize Crystal", 248, 40, 289, 17, kBold},

    {Label::Bandwidth, "Label7", K::Label, "Filter Bandwidth, Hz, = ", 0, 64, 150, 21, kRight},
    {Field::Bandwidth, "Edit5", K::Edit, "250", 152, 64, 49, 21},
    {Label::CrystalCount, "Label8", K::Label, "Number of Crystals in Filter (20 max) = ", 203, 64, 259, 21, kRight},
    {Field::CrystalCount, "Edit6", K::Edit, "5", 464, 64, 33, 21},
    {Label::Step2, "Label9", K::Label, " 2.  Enter/Edit B and N and click:  ", 0, 88, 182, 17, kAqua | kRight},
    {Command::SetBandwidthAndOrder, "Button2", K::Button, "2. Set B and N", 184, 88, 265, 17, kBold},
    {Label::Step2A, "Label10", K::Label, " 2A.(Optional)  To generate k and q values, click:  ", 0, 112, 238, 16, kAqua | kRight},
    {Command::OpenGenerator, "Button16", K::Button, "2A. Generate Butterworth, Chebyshev, or Cohn k and q.", 240, 112, 385, 17, kBold},

    {Label::Q1, "Label11", K::Label, "q1 = ", 0, 128, 46, 21, kSilver | kRight},
    {Field::Q1, "Edit9", K::Edit, "0.519", 48, 128, 57, 21},
    {Label::Qn, "Label12", K::Label, "qn = ", 107, 128, 51, 21, kSilver | kRight},
    {Field::Qn, "Edit10", K::Edit, "2.11", 160, 128, 41, 21},
    {Label::Step3, "Label13", K::Label, " 3.  Enter or Edit End Normalized Q values and click:", 0, 152, 246, 17, kAqua | kRight},
    {Command::SetEndQ, "Button3", K::Button, "3. Set q1 and qn", 248, 152, 161, 17, kBold},
    {Label::MinEndR, "Label14", K::Label, "Min End Resistance = ", 411, 144, 131, 21, kRight},
    {Field::MinEndR, "Edit7", K::Edit, "----", 544, 144, 89, 21},

    {Label::EndR, "Label15", K::Label, "End R = ", 0, 176, 70, 21, kRight},
    {Field::EndR, "Edit20", K::Edit, "50", 72, 176, 65, 21},
    {Label::Step4, "Label16", K::Label, " 4.  Enter or Edit End R and click:  ", 139, 176, 179, 17, kAqua | kRight},
    {Command::MatchEnds, "Button4", K::Button, "4. Match Ends", 320, 176, 153, 17, kBold},
    {Panel::EndCapacitors, "Panel1", K::Panel, "", 488, 176, 137, 65},
    {Label::EndCapacitors, "Label17", K::Label, "Shunt End Capacitors", 2, 2, 133, 16, kCentre, Panel::EndCapacitors},
    {Label::EndC1, "Label18", K::Label, "C-1, pF", 8, 22, 57, 16, kPlain, Panel::EndCapacitors},
    {Label::EndCn, "Label19", K::Label, "C-N, pF", 80, 22, 55, 16, kPlain, Panel::EndCapacitors},
    {Field::EndC1, "Edit21", K::Edit, "--------", 8, 40, 49, 21, kPlain, Panel::EndCapacitors},
    {Field::EndCn, "Edit22", K::Edit, "------", 80, 40, 49, 21, kPlain, Panel::EndCapacitors},

    {Label::K12, "Label20", K::Label, "k1-2", 0, 200, 30, 21, kSilver | kRight},
    {Field::K12, "Edit11", K::Edit, "1.46", 32, 200, 49, 21},
    {Label::K23, "Label21", K::Label, "k2-3", 83, 200, 35, 21, kSilver | kRight},
    {Field::K23, "Edit12", K::Edit, "1.0", 120, 200, 49, 21},
    {Label::K34, "Label22", K::Label, "k3-4", 171, 200, 27, 21, kSilver | kRight},
    {Field::K34, "Edit13", K::Edit, "0.93", 200, 200, 49, 21},
    {Label::K45, "Label23", K::Label, "k4-5", 251, 200, 35, 21, kSilver | kRight},
    {Field::K45, "Edit14", K::Edit, "0.632", 288, 200, 49, 21},
    {Label::K56, "Label24", K::Label, "k5-6", 339, 200, 27, 21, kSilver | kRight},
    {Field::K56, "Edit15", K::Edit, ".001", 368, 200, 49, 21},
    {Label::K67, "Label25", K::Label, "k6-7", 0, 224, 30, 21, kSilver | kRight},
    {Field::K67, "Edit16", K::Edit, ".001", 32, 224, 49, 21},
    {Label::K78, "Label26", K::Label, "k7-8", 83, 224, 35, 21, kSilver | kRight},
    {Field::K78, "Edit17", K::Edit, ".001", 120, 224, 49, 21},
    {Label::K89, "Label27", K::Label, "k8-9", 171, 224, 43, 21, kSilver | kRight},
    {Field::K89, "Edit18", K::Edit, ".001", 216, 224, 49, 21},
    {Label::K910, "Label28", K::Label, "k9-10", 267, 224, 83, 21, kSilver | kRight},
    {Field::K910, "Edit19", K::Edit, ".001", 352, 224, 49, 21},
    {Label::Step5, "Label29", K::Label, " 5.  Enter or  Edit the Normalized coupling coefficients and click: ", 0, 248, 310, 17,
     kAqua | kRight},
    {Command::ComputeCouplingCapacitors, "Button5", K::Button, "5. Calculate Coupling Caps", 312, 248, 273, 17, kBold},

    {Label::CouplingCapacitors, "Label30", K::Label, "Shunt Coupling Capacitors, pF", 8, 268, 233, 16, kLime},
    {Label::Step6, "Label31", K::Label, " 6. Edit Coupling and End  Caps, if desired, and Tune Filter:    ", 0, 288, 318, 17,
     kAqua | kRight},
    {Command::TuneMeshes, "Button14", K::Button, "6. Tune each Filter Mesh", 320, 288, 193, 17, kBold},
    {Label::TuningCapacitors, "Label32", K::Label, "SeriesTuning Capacitors, pF,", 312, 306, 241, 14, kYellow},
    {Label::CouplingC12, "Label33", K::Label, "C12=", 0, 304, 54, 21, kLime | kRight},
    {Field::CouplingC12, "Edit23", K::Edit, ".001", 56, 304, 65, 21},
    {Label::CouplingC23, "Label34", K::Label, "C23=", 0, 328, 54, 21, kLime | kRight},
    {Field::CouplingC23, "Edit24", K::Edit, ".001", 56, 328, 65, 21},
    {Label::CouplingC34, "Label35", K::Label, "C34=", 0, 352, 54, 21, kLime | kRight},
    {Field::CouplingC34, "Edit25", K::Edit, ".001", 56, 352, 65, 21},
    {Label::CouplingC45, "Label36", K::Label, "C45=", 0, 376, 54, 21, kLime | kRight},
    {Field::CouplingC45, "Edit26", K::Edit, ".001", 56, 376, 65, 21},
    {Label::CouplingC56, "Label37", K::Label, "C56=", 0, 400, 54, 21, kLime | kRight},
    {Field::CouplingC56, "Edit27", K::Edit, ".001", 56, 400, 65, 21},
    {Label::CouplingC67, "Label38", K::Label, "C67=", 123, 304, 59, 21, kLime | kRight},
    {Field::CouplingC67, "Edit28", K::Edit, ".001", 184, 304, 57, 21},
    {Label::CouplingC78, "Label39", K::Label, "C78=", 123, 328, 59, 21, kLime | kRight},
    {Field::CouplingC78, "Edit29", K::Edit, ".001", 184, 328, 57, 21},
    {Label::CouplingC89, "Label40", K::Label, "C89=", 123, 352, 59, 21, kLime | kRight},
    {Field::CouplingC89, "Edit30", K::Edit, ".001", 184, 352, 57, 21},
    {Label::CouplingC910, "Label41", K::Label, "C9-10=", 123, 376, 59, 21, kLime | kRight},
    {Field::CouplingC910, "Edit31", K::Edit, ".001", 184, 376, 57, 21},
    {Label::TuningC1, "Label42", K::Label, "CT1=", 243, 320, 67, 21, kYellow | kRight},
    {Field::TuningC1, "Edit32", K::Edit, ".001", 312, 320, 81, 21},
    {Label::TuningC2, "Label43", K::Label, "CT2=", 243, 344, 67, 21, kYellow | kRight},
    {Field::TuningC2, "Edit33", K::Edit, ".001", 312, 344, 81, 21},
    {Label::TuningC3, "Label44", K::Label, "CT3=", 243, 368, 67, 21, kYellow | kRight},
    {Field::TuningC3, "Edit34", K::Edit, ".001", 312, 368, 81, 21},
    {Label::TuningC4, "Label45", K::Label, "CT4=", 243, 392, 67, 21, kYellow | kRight},
    {Field::TuningC4, "Edit35", K::Edit, ".001", 312, 392, 81, 21},
    {Label::TuningC5, "Label46", K::Label, "CT5=", 243, 416, 67, 21, kYellow | kRight},
    {Field::TuningC5, "Edit36", K::Edit, ".001", 312, 416, 81, 21},
    {Label::TuningC6, "Label47", K::Label, "CT6=", 395, 320, 67, 21, kYellow | kRight},
    {Field::TuningC6, "Edit37", K::Edit, ".001", 464, 320, 89, 21},
    {Label::TuningC7, "Label48", K::Label, "CT7=", 395, 344, 67, 21, kYellow | kRight},
    {Field::TuningC7, "Edit38", K::Edit, ".001", 464, 344, 89, 21},
    {Label::TuningC8, "Label49", K::Label, "CT8=", 395, 368, 67, 21, kYellow | kRight},
    {Field::TuningC8, "Edit39", K::Edit, ".001", 464, 368, 89, 21},
    {Label::TuningC9, "Label50", K::Label, "CT9=", 395, 392, 67, 21, kYellow | kRight},
    {Field::TuningC9, "Edit40", K::Edit, ".001", 464, 392, 89, 21},
    {Label::TuningC10, "Label51", K::Label, "CT10=", 395, 416, 67, 21, kYellow | kRight},
    {Field::TuningC10, "Edit41", K::Edit, ".001", 464, 416, 89, 21},
    {Label::WireNote, "Label52", K::Label, "A Tuning Cap. of 99999 indicates a wire when building the filter. ", 160, 439, 400, 15,
     kYellow},

    {Command::SaveDefaultFile, "Button6", K::Button, "Save design to default file.", 200, 456, 233, 25},
    {Command::Exit, "Button7", K::Button, "Exit", 456, 456, 89, 25},
};

}  // namespace design_table

namespace help_table {
using namespace help;

constexpr ControlSpec kHelp[] = {
    {Memo::Text, "Memo1", K::Memo, kHelpText, 6, 6, 681, 256},
    {Picture::Schematic, "Image1", K::Picture, "", 6, 266, 681, 161},
    {Command::ReturnToDesign, "Button1", K::Button, "Return to Program", 286, 432, 121, 25},
};

}  // namespace help_table

namespace kq_table {
using namespace kq;

constexpr ControlSpec kKandQ[] = {
    {Label::StartValuesNote, "Label1", K::Label, "Note:  The default k and q data built into the program describe a N=5 Gaussian-to-6 dB shape.  ",
     8, 8, 573, 16, kAqua},
    {Label::Formulas, "Label2", K::Label,
     "Formulas: lowpass prototype values as tabulated in the filter-synthesis handbooks; minimum-loss k and q "
     "after S. B. Cohn (1959).",
     8, 28, 573, 30, kAqua},
    {Label::Heading, "Label3", K::Label, "Filter k and q Setup ", 8, 66, 300, 22, kTitle},
    {Label::PickType, "Label4", K::Label, "1.  Pick Filter Type ", 8, 96, 200, 16, kYellow},
    {GroupBox::FilterType, "GroupBox1", K::GroupBox, "", 8, 114, 573, 40},
    {Command::ChooseChebyshev, "RadioButton1", K::Radio, "Chebyshev", 12, 10, 110, 22, kPlain, GroupBox::FilterType},
    {Command::ChooseButterworth, "RadioButton2", K::Radio, "Butterworth", 132, 10, 110, 22, kPlain, GroupBox::FilterType},
    {Command::ChooseMinimumLoss, "RadioButton3", K::Radio, "Min-Loss (Cohn)", 252, 10, 140, 22, kPlain, GroupBox::FilterType},
    {Command::ChooseBessel, "RadioButton4", K::Radio, "Bessel", 396, 10, 80, 22, kPlain, GroupBox::FilterType},
    {Command::ChooseGaussian, "RadioButton5", K::Radio, "Gaussian", 480, 10, 88, 22, kPlain, GroupBox::FilterType},
    {Label::CrystalCount, "Label5", K::Label, " 2.  Enter Number of crystals  (10 max) ", 8, 166, 262, 21},
    {Field::CrystalCount, "Edit1", K::Edit, "---", 272, 166, 49, 21},
    {Label::Ripple, "Label6", K::Label, "3.  If Chebyshev, enter Passband Ripple in dB  (max of 3 dB. )", 8, 196, 362, 21},
    {Field::Ripple, "Edit2", K::Edit, "0", 372, 196, 49, 21},
    {Panel::Calculate, "Panel1", K::Panel, "4.  Click Here to calculate k and q.  ", 8, 230, 262, 25},
    {Command::Calculate, "Button2", K::Button, "Click", 280, 230, 75, 25, kBold},
    {Label::Q1, "Label7", K::Label, " q1 = ", 8, 268, 40, 21, kRight},
    {Field::Q1, "Edit3", K::Edit, "---", 50, 268, 81, 21},
    {Label::Qn, "Label8", K::Label, " qn = ", 150, 268, 40, 21, kRight},
    {Field::Qn, "Edit4", K::Edit, "---", 192, 268, 81, 21},
    {Label::MeshPairHeading, "Label9", K::Label, "  jk", 8, 300, 40, 16},
    {Label::CouplingHeading, "Label10", K::Label, " k[jk]", 56, 300, 60, 16},
    {Memo::Couplings, "Memo1", K::Memo, "\n", 8, 318, 200, 162},
    {Command::ReturnToDesign, "Button1", K::Button, "5.  Click to Return to Filter Design", 232, 455, 260, 25, kBold},
};

}  // namespace kq_table

namespace about_table {
using namespace about;

constexpr ControlSpec kAbout[] = {
    {Label::Title, "Label1", K::Label, "Mirabo08  -  Crystal Ladder Filter Design, versions 2006 to 2008", 24, 20, 582, 26, kTitle},
    {Label::Generator, "Label2", K::Label,
     "This version generates minimum-loss (Cohn) k and q values as well as Butterworth and Chebyshev ones: "
     "click step 2A and pick \"Min-Loss (Cohn)\".",
     24, 70, 582, 48},
    {Label::EndResistance, "Label3", K::Label,
     "Step 4 now reports when the termination resistance is too low to match the filter ends, and the "
     "minimum allowed end resistance is shown on the main window beside step 3.",
     24, 130, 582, 48},
    {Label::DefaultFile, "Label4", K::Label,
     "\"Save design to default file.\" writes the finished design as startfile.cir in the working directory, "
     "the circuit Sorvel opens when it starts; File, Save As writes it under any name.",
     24, 190, 582, 48},
    {Command::ReturnToDesign, "Button1", K::Button, "Return to Program", 254, 300, 121, 25},
};

}  // namespace about_table

QString styleFor(unsigned style)
{
    QString css;
    if (style & kAqua)
        css += "background-color: #00ffff;";
    if (style & kLime)
        css += "background-color: #00ff00;";
    if (style & kYellow)
        css += "background-color: #ffff00;";
    if (style & kSilver)
        css += "background-color: #c0c0c0;";
    return css.isEmpty() ? QString() : "QLabel { " + css + " color: black; }";
}

// The long step labels stand in the room left of their buttons; where the face is too
// wide for it, the text is set a pixel smaller and then slightly tighter.
void fitToWidth(QLabel& label, int width)
{
    QFont f = label.font();
    if (label.sizeHint().width() > width && f.pixelSize() > 10) {
        f.setPixelSize(10);
        label.setFont(f);
    }
    for (int spacing = 97; label.sizeHint().width() > width && spacing >= 88; spacing -= 3) {
        f.setLetterSpacing(QFont::PercentageSpacing, spacing);
        label.setFont(f);
    }
}

QWidget* makeLabel(QWidget* parent, const ControlSpec& c)
{
    auto* label = new QLabel(QString::fromUtf8(c.text), parent);
    QFont f = label->font();
    if (c.style & kTitle) {
        f.setBold(true);
        f.setPixelSize(f.pixelSize() > 0 ? f.pixelSize() + 5 : 16);
    }
    if (c.style & kBold)
        f.setBold(true);
    label->setFont(f);
    label->setStyleSheet(styleFor(c.style));
    label->setWordWrap(c.height > 2 * label->fontMetrics().height());
    if (!label->wordWrap())
        fitToWidth(*label, c.width);
    Qt::Alignment align = Qt::AlignVCenter;
    align |= (c.style & kRight) ? Qt::AlignRight : (c.style & kCentre) ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(align);
    QRect r(c.x, c.y, c.width, c.height);
    const bool coloured = c.style & (kAqua | kLime | kYellow | kSilver);
    if (coloured && !label->wordWrap()) {
        const int w = std::min(c.width, label->sizeHint().width());
        const int h = std::min(c.height, label->sizeHint().height());
        const int x = (c.style & kRight) ? c.x + c.width - w : c.x;
        r = QRect(x, c.y + (c.height - h) / 2, w, h);
    }
    label->setGeometry(r);
    return label;
}

}  // namespace

std::span<const ControlSpec> mainWindowControls()
{
    return design_table::kMain;
}
std::span<const ControlSpec> helpWindowControls()
{
    return help_table::kHelp;
}
std::span<const ControlSpec> kandqWindowControls()
{
    return kq_table::kKandQ;
}
std::span<const ControlSpec> aboutWindowControls()
{
    return about_table::kAbout;
}

Controls buildControls(QWidget* surface, std::span<const ControlSpec> table)
{
    Controls made;
    for (const ControlSpec& c : table) {
        QWidget* parent = c.parent.isWindow() ? surface : made.at(c.parent);
        const QString text = QString::fromUtf8(c.text);
        QWidget* w = nullptr;
        switch (c.kind) {
        case ControlKind::Label:
            w = makeLabel(parent, c);
            break;
        case ControlKind::Edit:
            w = new QLineEdit(text, parent);
            break;
        case ControlKind::Button: {
            auto* b = new QPushButton(text, parent);
            b->setAutoDefault(false);
            w = b;
            break;
        }
        case ControlKind::Panel: {
            auto* p = new QFrame(parent);
            p->setFrameShape(QFrame::Panel);
            p->setFrameShadow(QFrame::Raised);
            if (!text.isEmpty()) {
                // The caption lets clicks through: a click anywhere is the panel's.
                auto* caption = new QLabel(text, p);
                caption->setAlignment(Qt::AlignCenter);
                caption->setGeometry(0, 0, c.width, c.height);
                caption->setAttribute(Qt::WA_TransparentForMouseEvents);
                QFont f = caption->font();
                f.setBold(true);
                caption->setFont(f);
            }
            w = p;
            break;
        }
        case ControlKind::GroupBox:
            w = new QGroupBox(text, parent);
            break;
        case ControlKind::Radio:
            w = new QRadioButton(text, parent);
            break;
        case ControlKind::Memo: {
            auto* m = new QPlainTextEdit(parent);
            m->setPlainText(text);
            m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            w = m;
            break;
        }
        case ControlKind::Picture:
            w = new QLabel(parent);
            break;
        }
        w->setObjectName(QString::fromUtf8(c.name));
        if (c.kind != ControlKind::Label)
            w->setGeometry(c.x, c.y, c.width, c.height);
        if ((c.style & kBold) && c.kind != ControlKind::Label) {
            QFont f = w->font();
            f.setBold(true);
            w->setFont(f);
        }
        const bool added = made.emplace(c.id, w).second;
        Q_ASSERT_X(added, "buildControls", c.name);  // one row per identifier
        (void)added;
    }
    return made;
}
