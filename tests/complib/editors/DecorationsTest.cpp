#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"

#include "EditorTestSupport.h"

#include "plat/ScreenScale.h"

#include <functional>

namespace {

// The decorations behave alike on both editors.
struct EditorKind {
    const char* name;
    std::function<QWidget*(QWidget*)> create;
};

void PrintTo(const EditorKind& k, std::ostream* os)
{
    *os << k.name;
}

template <class F>
void with(QWidget* w, F&& f)
{
    if (auto* e = qobject_cast<TNumericEdit*>(w))
        f(e);
    else if (auto* c = qobject_cast<TKeyComboBox*>(w))
        f(c);
}

void setSkin(QWidget* w, TSkinStyle s)
{
    with(w, [s](auto* e) { e->SetSkinStyle(s); });
}
void setUnitLabel(QWidget* w, bool on)
{
    with(w, [on](auto* e) { e->SetUseUnitLabel(on); });
}
TBackShape* shapeOf(QWidget* w)
{
    TBackShape* r = nullptr;
    with(w, [&r](auto* e) { r = e->BackShape(); });
    return r;
}
TBackImage* imageOf(QWidget* w)
{
    TBackImage* r = nullptr;
    with(w, [&r](auto* e) { r = e->BackImage(); });
    return r;
}
TUnitLabel* labelOf(QWidget* w)
{
    TUnitLabel* r = nullptr;
    with(w, [&r](auto* e) { r = e->UnitLabel(); });
    return r;
}

class DecorationsTest : public EditorWindowTest, public ::testing::WithParamInterface<EditorKind> {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        box = GetParam().create(window());
        box->setGeometry(40, 30, 100, 24);
    }

    // Where the label belongs beside the box: 10 pixels right, centred.
    static QPoint labelSpot(const QWidget* box, const QWidget* label)
    {
        return {box->x() + box->width() + 10, box->y() + (box->height() - label->height()) / 2};
    }

    QWidget* box = nullptr;
};

TEST_P(DecorationsTest, FrameAroundTheBox)
{
    showWindow();
    setSkin(box, asShape);
    TBackShape* shape = shapeOf(box);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->objectName(), "BackShape");
    EXPECT_EQ(shape->parentWidget(), window());
    EXPECT_EQ(shape->geometry(), QRect(38, 28, 104, 28));
    EXPECT_EQ(shape->brush().color(), QColor(225, 31, 38));
    EXPECT_EQ(shape->pen().color(), QColor(225, 31, 38));
    EXPECT_EQ(shape->pen().width(), 1);
    EXPECT_EQ(shape->kind(), plat::Shape::Kind::RoundRect);
    EXPECT_TRUE(shape->isVisible());
    // Below the box, so it does not cover it.
    const QObjectList& order = window()->children();
    EXPECT_LT(order.indexOf(shape), order.indexOf(box));

    QPointer<TBackShape> oldShape = shape;
    setSkin(box, asImage);
    EXPECT_TRUE(oldShape.isNull());
    ASSERT_NE(imageOf(box), nullptr);
    EXPECT_EQ(imageOf(box)->objectName(), "BackImage");
    EXPECT_EQ(imageOf(box)->geometry(), QRect(38, 28, 104, 28));

    QPointer<TBackImage> oldImage = imageOf(box);
    setSkin(box, asNone);
    EXPECT_TRUE(oldImage.isNull());
    EXPECT_EQ(shapeOf(box), nullptr);
    EXPECT_EQ(imageOf(box), nullptr);
}

TEST_P(DecorationsTest, UnitLabelBesideTheBoxAndTheFrameAroundBoth)
{
    showWindow();
    setUnitLabel(box, true);
    TUnitLabel* label = labelOf(box);
    ASSERT_NE(label, nullptr);
    label->setText("mbar");
    EXPECT_EQ(label->objectName(), "UnitLabel");
    EXPECT_EQ(label->parentWidget(), window());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(label->isVisible());
    setUnitLabel(box, false); // a new label replaces the old one
    EXPECT_EQ(labelOf(box), nullptr);
    setUnitLabel(box, true);
    label = labelOf(box);
    EXPECT_EQ(label->pos(), labelSpot(box, label));

    setSkin(box, asShape);
    TBackShape* shape = shapeOf(box);
    EXPECT_EQ(shape->geometry(), QRect(38, 28, 100 + label->width() + 24, 28));
    // The label in front of the frame.
    const QObjectList& order = window()->children();
    EXPECT_LT(order.indexOf(shape), order.indexOf(label));
}

TEST_P(DecorationsTest, DecorationsFollowMovesAndResizes)
{
    showWindow();
    setUnitLabel(box, true);
    setSkin(box, asShape);
    TBackShape* shape = shapeOf(box);
    TUnitLabel* label = labelOf(box);
    const int shapeWidth = shape->width();

    box->move(70, 90);
    EXPECT_EQ(shape->geometry(), QRect(68, 88, shapeWidth, 28));
    EXPECT_EQ(label->pos(), labelSpot(box, label));

    box->resize(130, 40); // 30 wider, 16 higher
    EXPECT_EQ(shape->geometry(), QRect(68, 88, shapeWidth + 30, 44));
    EXPECT_EQ(label->pos(), labelSpot(box, label));
}

TEST_P(DecorationsTest, DecorationsMovedBeforeTheWindowIsShownCatchUp)
{
    setUnitLabel(box, true);
    setSkin(box, asShape);
    const int shapeWidth = shapeOf(box)->width();
    box->setGeometry(60, 50, 110, 30);
    showWindow();
    EXPECT_EQ(shapeOf(box)->geometry(), QRect(58, 48, shapeWidth + 10, 34));
    EXPECT_EQ(labelOf(box)->pos(), labelSpot(box, labelOf(box)));
}

TEST_P(DecorationsTest, VisibilityAndParentArePassedOn)
{
    showWindow();
    setUnitLabel(box, true);
    setSkin(box, asShape);
    box->hide();
    EXPECT_FALSE(shapeOf(box)->isVisible());
    EXPECT_FALSE(labelOf(box)->isVisible());
    box->show();
    EXPECT_TRUE(shapeOf(box)->isVisible());
    EXPECT_TRUE(labelOf(box)->isVisible());

    auto* panel = new QWidget(window());
    panel->setGeometry(0, 200, 300, 100);
    panel->show();
    box->setParent(panel);
    box->show();
    EXPECT_EQ(shapeOf(box)->parentWidget(), panel);
    EXPECT_EQ(labelOf(box)->parentWidget(), panel);
    EXPECT_TRUE(shapeOf(box)->isVisible());
    EXPECT_TRUE(labelOf(box)->isVisible());
    const QObjectList& order = panel->children();
    EXPECT_LT(order.indexOf(shapeOf(box)), order.indexOf(box));
}

TEST_P(DecorationsTest, TheEditorTakesItsDecorationsWithIt)
{
    setUnitLabel(box, true);
    setSkin(box, asImage);
    QPointer<TBackImage> image = imageOf(box);
    QPointer<TUnitLabel> label = labelOf(box);
    delete box;
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(label.isNull());
}

// After a rescale the frame keeps its scaled left, top and width and takes
// the box's new height + 4; the label keeps its scaled left and is centred on
// the box again. Plain widgets with the decorations' old geometry show what
// the rescale made of left, top and width.
void checkRescale(QWidget* window, QWidget* box, long long num, long long den)
{
    setUnitLabel(box, true);
    labelOf(box)->setText("%");
    setSkin(box, asShape);
    auto* shapeWitness = new QWidget(window);
    shapeWitness->setGeometry(shapeOf(box)->geometry());
    auto* labelWitness = new QWidget(window);
    labelWitness->setGeometry(labelOf(box)->geometry());

    plat::ScaleWidgetTree(window, num, den);

    const QRect s = shapeOf(box)->geometry();
    EXPECT_EQ(s.x(), shapeWitness->x());
    EXPECT_EQ(s.y(), shapeWitness->y());
    EXPECT_EQ(s.width(), shapeWitness->width());
    EXPECT_EQ(s.height(), box->height() + 4);
    const TUnitLabel* label = labelOf(box);
    EXPECT_EQ(label->x(), labelWitness->x());
    EXPECT_EQ(label->y(), box->y() + (box->height() - label->height()) / 2);
}

TEST_P(DecorationsTest, RescaleOfAShownWindow)
{
    showWindow();
    checkRescale(window(), box, 1280, 1024);
    // Moves after the rescale are followed again.
    const QRect before = shapeOf(box)->geometry();
    box->move(box->x() + 5, box->y() + 7);
    EXPECT_EQ(shapeOf(box)->geometry(), QRect(box->x() - 2, box->y() - 2, before.width(), before.height()));
}

TEST_P(DecorationsTest, RescaleBeforeTheWindowIsShown)
{
    checkRescale(window(), box, 800, 1024);
    const QRect before = shapeOf(box)->geometry();
    box->move(box->x() + 5, box->y() + 7);
    showWindow(); // the rescale is not taken for a move when the window appears
    EXPECT_EQ(shapeOf(box)->geometry(), QRect(box->x() - 2, box->y() - 2, before.width(), before.height()));
    EXPECT_EQ(labelOf(box)->pos(), labelSpot(box, labelOf(box)));
}

INSTANTIATE_TEST_SUITE_P(Editors, DecorationsTest,
                         ::testing::Values(EditorKind{"NumericEdit", [](QWidget* p) -> QWidget* {
                                               return new TNumericEdit(p);
                                           }},
                                           EditorKind{"KeyComboBox", [](QWidget* p) -> QWidget* {
                                               return new TKeyComboBox(p);
                                           }}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
