// A window with the bound editors for trying them by hand:
//   editors_gallery [scale-numerator scale-denominator]
#include "complib/editors/KeyComboBox.h"
#include "complib/editors/NumericEdit.h"

#include "plat/ScreenScale.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Editors");
    window.resize(420, 260);
    window.setStyleSheet("QWidget#gallery { background: #30363d; }");
    window.setObjectName("gallery");

    auto* info = new QLabel(&window);
    info->setGeometry(10, 200, 400, 50);
    info->setStyleSheet("color: white;");

    auto* a = new TNumericEdit(&window);
    a->setGeometry(20, 20, 80, 22);
    a->SetMaxValue(120);
    a->SetMinValue(-40);
    a->SetSkinStyle(asShape);
    a->SetUseUnitLabel(true);
    a->UnitLabel()->setText("°C");

    auto* b = new TNumericEdit(&window);
    b->setGeometry(20, 60, 80, 22);
    b->SetPrecision(0.5);
    b->SetMaxValue(20);
    b->SetMinValue(0.8);
    b->SetUseUnitLabel(true);
    b->UnitLabel()->setText("bar");
    b->SetValidation(false);

    auto* c = new TKeyComboBox(&window);
    c->setGeometry(20, 100, 140, 24);
    c->addItems({"0-1 V", "0-5 V", "5-0 V", "1-0 V"});
    c->SetSkinStyle(asShape);

    auto* d = new TNumericEdit(&window);
    d->setGeometry(20, 140, 80, 22);
    d->SetDisableLimit(true);

    a->SetNextControl(b);
    b->SetPrevControl(a);
    b->SetNextControl(c);
    c->SetPrevControl(b);
    c->SetNextControl(d);
    d->SetPrevControl(c);

    for (TNumericEdit* e : {a, b, d})
        QObject::connect(e, &TNumericEdit::keyPressed, [e, info](QChar k) {
            if (k == QChar(13))
                info->setText(QString("committed %1 (LastValue %2)").arg(e->text()).arg(e->LastValue()));
        });
    QObject::connect(c, &TKeyComboBox::keyPressed, [c, info](QChar k) {
        if (k == QChar(13) && !c->IsDroppedDown())
            info->setText(QString("committed item %1").arg(c->currentIndex()));
    });

    if (argc == 3)
        plat::ScaleWidgetTree(&window, QString(argv[1]).toLongLong(), QString(argv[2]).toLongLong());
    window.show();
    return app.exec();
}
