// Every dialog, built from its template under the desktop's default font and
// under other common desktop fonts, shows each of its texts whole: measured
// against the rectangle the style itself draws the text into.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <vector>

#include "CDialog.h"
#include "DialogLayout.h"
#include "DialogResources.h"
#include "DialogTemplate.h"
#include "DialogTestSteps.h"
#include "FakeMessenger.h"

namespace {

const int kTemplates[] = {IDD_ABOUTBOX, IDD_NOISES, IDD_NAME_EVENT, IDD_SCHEDULE, IDD_HELP, IDD_PROBLEMS};

// The widest whole number a number field of the template must show.
QString WidestValue(const QFontMetrics& metrics, const DialogControl& c)
{
    QString widest;
    for (int n = c.fitLow; n <= c.fitHigh; ++n)
        if (metrics.horizontalAdvance(QString::number(n)) > metrics.horizontalAdvance(widest))
            widest = QString::number(n);
    return widest;
}

// Where the style draws the text of `widget`, and the room the text needs there.
struct TextRoom {
    QRect area;
    QSize text;
};

TextRoom RoomOf(QWidget* widget, const DialogControl& c)
{
    const QFontMetrics metrics(widget->font());
    QStyle* style = widget->style();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return {label->contentsRect(), metrics.size(Qt::TextSingleLine, label->text())};
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return {style->subElementRect(QStyle::SE_PushButtonContents, &option, button),
                metrics.size(Qt::TextShowMnemonic, button->text())};
    }
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return {style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio),
                metrics.size(Qt::TextShowMnemonic, radio->text())};
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && c.fitHigh >= c.fitLow) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        // QLineEdit keeps two pixels free on either side and one for the cursor.
        const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                                   .marginsRemoved(edit->textMargins())
                                   .adjusted(2, 1, -3, -1);
        return {contents, QSize(metrics.horizontalAdvance(WidestValue(metrics, c)), metrics.height())};
    }
    return {};
}

class DialogFitTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        kept = QApplication::font();
        const std::string which = GetParam();
        if (which == "DejaVu Sans 11")
            QApplication::setFont(QFont("DejaVu Sans", 11));
        else if (which == "Noto Sans 10")
            QApplication::setFont(QFont("Noto Sans", 10));
        if (which != "default") {
            const QString family = QString::fromStdString(which.substr(0, which.rfind(' ')));
            ASSERT_EQ(QFontInfo(QApplication::font()).family(), family) << "the font is not installed";
        }
    }
    void TearDown() override { QApplication::setFont(kept); }

    QFont kept;
    platform::FakeMessenger messenger;
};

TEST_P(DialogFitTest, EveryTextShowsWholeAndNoGrownControlCoversAnother)
{
    for (int id : kTemplates) {
        const DialogTemplate& tmpl = *FindDialogTemplate(id);
        SCOPED_TRACE(tmpl.caption);
        CDialog dlg(id);
        RunWith<CDialog>(dlg, [&](CDialog& d) {
            std::vector<QRect> shown;
            std::vector<QRect> planned;
            // Template order is creation order.
            std::vector<QWidget*> widgets;
            for (QObject* child : d.Window()->children())
                if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow() &&
                                                                 widget->parent() == d.Window())
                    widgets.push_back(widget);
            ASSERT_GE(widgets.size(), tmpl.controls.size());
            for (size_t i = 0; i < tmpl.controls.size(); ++i) {
                const DialogControl& c = tmpl.controls[i];
                QWidget* widget = widgets[i];
                if (c.hidden)
                    continue;
                SCOPED_TRACE(c.text.empty() ? std::to_string(c.id) : c.text);
                const TextRoom room = RoomOf(widget, c);
                EXPECT_GE(room.area.width(), room.text.width());
                EXPECT_GE(room.area.height(), room.text.height());
                EXPECT_TRUE(d.Window()->rect().contains(widget->geometry())) << "inside the dialog";
                shown.push_back(widget->geometry());
            }
            // Controls apart in the template stay apart however they grew.
            const double sx = double(d.Window()->width()) / tmpl.width;
            const double sy = double(d.Window()->height()) / tmpl.height;
            for (size_t i = 0, a = 0; i < tmpl.controls.size(); ++i) {
                if (tmpl.controls[i].hidden)
                    continue;
                for (size_t j = i + 1, b = a + 1; j < tmpl.controls.size(); ++j) {
                    if (tmpl.controls[j].hidden)
                        continue;
                    const DialogControl& p = tmpl.controls[i];
                    const DialogControl& q = tmpl.controls[j];
                    const QRectF pi(p.x * sx, p.y * sy, p.width * sx, p.height * sy);
                    const QRectF qj(q.x * sx, q.y * sy, q.width * sx, q.height * sy);
                    if (!pi.intersects(qj)) {
                        EXPECT_FALSE(shown[a].intersects(shown[b])) << p.text << " and " << q.text;
                    }
                    ++b;
                }
                ++a;
            }
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, DialogFitTest, ::testing::Values("default", "DejaVu Sans 11", "Noto Sans 10"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ' ');
                             return name;
                         });

}  // namespace

namespace {

using Kind = DialogControl::Kind;

// With base units of 8 x 16 pixels a dialog unit is 2 pixels each way.
TEST(DialogLayoutTest, ATextThatDoesNotFitGrowsIntoFreeSpaceElseTheDialogScales)
{
    const DialogUnits units(8, 16);
    DialogTemplate dialog{1, "", 100, 40, {
        {Kind::Static, -1, 10, 10, 20, 8, "grows"},
        {Kind::Static, -1, 60, 10, 20, 8, "blocked"},
        {Kind::Static, -1, 70, 20, 10, 8, "free"},
    }};
    // 20 units are 40 pixels.  The first may grow to its neighbour at 120 px.
    DialogLayout fit = FitDialog(dialog, units, {QSize(90, 16), QSize(), QSize()});
    EXPECT_EQ(fit.scale, 1.0);
    EXPECT_EQ(fit.geometry[0], QRect(20, 20, 90, 16));
    EXPECT_EQ(fit.geometry[1], QRect(120, 20, 40, 16));
    EXPECT_EQ(fit.size, QSize(200, 80));

    // 130 px does not fit before the neighbour: everything is scaled until it does.
    fit = FitDialog(dialog, units, {QSize(130, 16), QSize(), QSize()});
    EXPECT_GT(fit.scale, 1.0);
    EXPECT_LE(fit.geometry[0].right() + 1, fit.geometry[1].left());
    EXPECT_EQ(fit.geometry[0].width(), 130);
    EXPECT_EQ(fit.size.width(), units.Rect(0, 0, 100, 40, fit.scale).width());
    EXPECT_GT(fit.size.width(), 200);

    // A control needs more height: it grows down where nothing is below it.
    fit = FitDialog(dialog, units, {QSize(), QSize(), QSize(20, 30)});
    EXPECT_EQ(fit.scale, 1.0);
    EXPECT_EQ(fit.geometry[2].height(), 30);
}

TEST(DialogLayoutTest, EachEdgeIsConvertedWithRounding)
{
    const DialogUnits units(6, 13);
    // 1 unit across is 1.5 px: left 2 (rounded), right 3, so 1 px wide, not 2.
    EXPECT_EQ(units.Rect(1, 1, 1, 1), QRect(2, 2, 1, 1));
    // 13/8 px per unit: 3 units down from 5 are 8.125 to 13.0.
    EXPECT_EQ(units.Rect(0, 5, 4, 3), QRect(0, 8, 6, 5));
}

}  // namespace
