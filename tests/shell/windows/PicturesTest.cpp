// The pictures the windows refer to by id are in the program's resources.
#include "plat/AnimationPlayer.h"
#include "plat/PictureButton.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

double meanLightness(const QPixmap& p)
{
    const QImage img = p.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    long n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() > 200) {
                sum += c.lightnessF();
                ++n;
            }
        }
    return n ? sum / n : 0;
}

} // namespace

TEST(Pictures, EveryBitmapIdIsThereInItsLayoutSize)
{
    struct Case {
        int id;
        QSize size;
    };
    std::vector<Case> cases = {{10001, {64, 64}}, {10002, {64, 64}}, {10003, {72, 72}}, {10004, {72, 72}}};
    for (int id : {10005, 10006, 10007, 10008, 10009, 10010, 10011, 10013, 10014, 10015, 10016, 10017, 10018,
                   10019, 10020, 10021})
        cases.push_back({id, {150, 120}});
    for (int id : {10049, 10050, 10051, 10052, 10053, 10054})
        cases.push_back({id, {96, 64}});
    for (int id : {10077, 10078, 10079, 10080, 10089})
        cases.push_back({id, {400, 250}});
    for (const Case& c : cases) {
        const QPixmap p = plat::LoadPicture(c.id);
        ASSERT_FALSE(p.isNull()) << c.id;
        EXPECT_EQ(p.deviceIndependentSize().toSize(), c.size) << c.id;
        EXPECT_EQ(p.devicePixelRatio(), 2.0) << c.id;
    }
    EXPECT_TRUE(plat::LoadPicture(10012).isNull()) << "the language button's pressed picture is 10013";
    EXPECT_EQ(plat::LoadPicture(QStringLiteral(":/bmp/splash.png")).deviceIndependentSize().toSize(),
              QSize(662, 184));
    for (const char* name : {":/bmp/logo.png", ":/bmp/koa.png", ":/bmp/listconfig.png"})
        EXPECT_FALSE(plat::LoadPicture(QString::fromLatin1(name)).isNull()) << name;
}

TEST(Pictures, PressedPicturesAreDarker)
{
    const std::pair<int, int> pairs[] = {{10003, 10004}, {10005, 10006}, {10007, 10008}, {10009, 10010},
                                         {10011, 10013}, {10014, 10015}, {10016, 10017}, {10018, 10019},
                                         {10020, 10021}, {10049, 10050}, {10051, 10052}, {10053, 10054}};
    for (auto [released, pressed] : pairs)
        EXPECT_LT(meanLightness(plat::LoadPicture(pressed)), meanLightness(plat::LoadPicture(released)))
            << released << "/" << pressed;
}

TEST(Pictures, AnimationStrips)
{
    plat::AnimationPlayer busy;
    ASSERT_TRUE(busy.open(10000));
    EXPECT_EQ(busy.frameCount(), 7);
    EXPECT_EQ(busy.sizeHint(), QSize(130, 100));
    plat::AnimationPlayer find;
    ASSERT_TRUE(find.open(QStringLiteral(":/anim/find.png")));
    EXPECT_GT(find.frameCount(), 1);
}
