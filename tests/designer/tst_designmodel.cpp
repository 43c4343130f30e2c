#include <QTest>

#include <cmath>
#include <functional>

#include "designer/TargetDesign.h"

Q_DECLARE_METATYPE(DesignRect)
Q_DECLARE_METATYPE(std::function<void(CTargetDesign&)>)

// The design model: the default design, Rebuild's bounds, drawing order and
// label bands, the enabled walks, CopyFrom and Equals.
class TestDesignModel : public QObject {
    Q_OBJECT

    static double h140() { return 140.0 / 720.0 / 2.0; }

private slots:
    void defaultDesign()
    {
        CTargetDesign d;
        d.LoadDefault();
        QCOMPARE(d.GetElementCount(), 12);
        QCOMPARE(d.GetLabelFontSize(), 140);
        auto* bull = dynamic_cast<CBullseyeElement*>(d.GetElement(0));
        QVERIFY(bull);
        QCOMPARE(bull->Diameter(), 0.5);
        QCOMPARE(bull->OutlineColor(), 0xFFFFFFu);
        QCOMPARE(bull->Thickness(), 0.04);
        QCOMPARE(bull->Style(), int(BULLSEYE_CROSS));
        const char* labels[] = {"", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"};
        const DesignColor fills[] = {0x0000FF, 0xA9A9AA, 0xA9A9AA, 0xA9A9AA, 0xFFFFFF, 0xFFFFFF,
                                     0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        for (int i = 1; i < 12; ++i) {
            CDesignElement* e = d.GetElement(i);
            QCOMPARE(e->Type(), int(ELEMENT_CIRCLE));
            QCOMPARE(e->Diameter(), double(i));
            QCOMPARE(e->Thickness(), 0.03);
            QCOMPARE(e->FillColor(), fills[i - 1]);
            QCOMPARE(e->Label(), QString::fromLatin1(labels[i - 1]));
            QCOMPARE(e->IsEnabled(), i <= 7);
        }
        QCOMPARE(d.Grid().OutlineColor(), 0x606060u);
        QCOMPARE(d.Grid().Thickness(), 0.005);
        QVERIFY(!d.Grid().IsEnabled());
        QCOMPARE(d.OverallDiameter(), 7.0);
        const DesignRect expected{-3.5, -3.5, 3.5, 3.5};
        QVERIFY(d.Bounds() == expected);
        QVERIFY(d.Grid().Bounds() == expected);

        // Largest first; the walks skip the disabled 8-11 inch rings.
        const auto& order = d.DrawingOrder();
        QCOMPARE(int(order.size()), 12);
        for (size_t i = 1; i < order.size(); ++i) QVERIFY(order[i - 1]->Diameter() >= order[i]->Diameter());
        QCOMPARE(d.GetFirstEnabledElement()->Diameter(), 7.0);
        QCOMPARE(d.GetLastEnabledElement(), static_cast<CDesignElement*>(bull));
        QCOMPARE(d.GetNextEnabledElement(d.GetFirstEnabledElement())->Diameter(), 6.0);
        QVERIFY(!d.GetNextEnabledElement(bull));
        CCircleElement stranger;
        QVERIFY(!d.GetNextEnabledElement(&stranger));
        QVERIFY(!d.GetElement(12));
        QVERIFY(!d.GetElement(-1));
    }

    void labelBoxes_data()
    {
        QTest::addColumn<std::function<void(CTargetDesign&)>>("build");
        QTest::addColumn<int>("index");
        QTest::addColumn<DesignRect>("box");
        const double h = h140();

        QTest::newRow("only enabled ring: its bounds")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddCircle(3.0, 0, 0.03, true, 0xFFFFFF, "X", false);
                   d.AddCircle(2.0, 0, 0.03, false, 0xFFFFFF, "Y", false);
               })
            << 0 << DesignRect{-1.5, -1.5, 1.5, 1.5};
        QTest::newRow("circle 2.0 band starts inside the outline")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "9", false);
                   d.AddCircle(1.0, 0, 0.03, true, 0xFFFFFF, "", false);
               })
            << 0 << DesignRect{-1.0 + (std::sqrt(4.0 + h * h) - 2.0), -h, -0.5, h};
        QTest::newRow("diamond band starts a fifth of the way in")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddDiamond(4.0, 0, 0.03, true, 0xFFFFFF, "D", false);
                   d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "", false);
               })
            << 0 << DesignRect{-2.0 + (1.0 - 0.8 * 1.0), -h, -1.0, h};
        QTest::newRow("square band starts at its edge")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddSquare(4.0, 0, 0.03, true, 0xFFFFFF, "S", false);
                   d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "", false);
               })
            << 0 << DesignRect{-2.0, -h, -1.0, h};
        QTest::newRow("band reaches the next enabled element, skipping disabled ones")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddSquare(6.0, 0, 0.03, true, 0xFFFFFF, "S", false);
                   d.AddSquare(4.0, 0, 0.03, false, 0xFFFFFF, "T", false);
                   d.AddBullseye(1.0, 0, 0.03, true, BULLSEYE_X, false);
               })
            << 0 << DesignRect{-3.0, -h, -0.5, h};
        QTest::newRow("equal circles: box as wide as the band correction")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "A", false);
                   d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "B", false);
                   d.AddCircle(1.0, 0, 0.03, true, 0xFFFFFF, "C", false);
               })
            << 0 << DesignRect{-1.0, -h, -1.0 + (std::sqrt(4.0 + h * h) - 2.0), h};
        QTest::newRow("font size sets the band height")
            << std::function<void(CTargetDesign&)>([](CTargetDesign& d) {
                   d.AddSquare(4.0, 0, 0.03, true, 0xFFFFFF, "S", false);
                   d.AddSquare(2.0, 0, 0.03, true, 0xFFFFFF, "", false);
                   d.SetLabelFontSize(720);
               })
            << 0 << DesignRect{-2.0, -0.5, -1.0, 0.5};
    }
    void labelBoxes()
    {
        QFETCH(std::function<void(CTargetDesign&)>, build);
        QFETCH(int, index);
        QFETCH(DesignRect, box);
        CTargetDesign d;
        d.SetLabelFontSize(140);
        build(d);
        d.Rebuild();
        const DesignRect& got = d.GetElement(index)->LabelBox();
        QVERIFY2(std::abs(got.left - box.left) < 1e-12, qPrintable(QString::number(got.left, 'g', 17)));
        QVERIFY(std::abs(got.top - box.top) < 1e-12);
        QVERIFY(std::abs(got.right - box.right) < 1e-12);
        QVERIFY(std::abs(got.bottom - box.bottom) < 1e-12);
    }

    void disabledElementKeepsItsBox()
    {
        CTargetDesign d;
        CDesignElement* outer = d.AddCircle(4.0, 0, 0.03, true, 0xFFFFFF, "O", false);
        d.AddCircle(2.0, 0, 0.03, true, 0xFFFFFF, "I", true);
        const DesignRect before = outer->LabelBox();
        QVERIFY(!before.isZero());
        outer->SetEnabled(false);
        d.Rebuild();
        QVERIFY(outer->LabelBox() == before);
        QVERIFY(d.Bounds() == (DesignRect{-1, -1, 1, 1}));
    }

    void boundsWidenOverUncentredElements()
    {
        CTargetDesign d;
        d.AddSquare(2.0, 0, 0.03, true, 0xFFFFFF, "", false)->SetBounds(-3.0, -0.5, 1.0, 0.5);
        d.AddSquare(2.0, 0, 0.03, true, 0xFFFFFF, "", false)->SetBounds(-1.0, -2.0, 2.0, 1.0);
        d.Rebuild();
        QVERIFY(d.Bounds() == (DesignRect{-3.0, -2.0, 2.0, 1.0}));
    }

    void clearKeepsGridAndFont()
    {
        CTargetDesign d;
        d.LoadDefault();
        d.Clear();
        QCOMPARE(d.GetElementCount(), 0);
        QVERIFY(d.DrawingOrder().empty());
        QCOMPARE(d.GetLabelFontSize(), 140);
        QCOMPARE(d.Grid().OutlineColor(), 0x606060u);
        QVERIFY(!d.GetFirstEnabledElement());
    }

    void labelHoldsFourCharacters()
    {
        CCircleElement c;
        c.SetLabel(QStringLiteral("10-X ring"));
        QCOMPARE(c.Label(), QStringLiteral("10-X"));
        c.SetLabel("");
        QCOMPARE(c.Label(), QString());
    }

    void copyCentresAndDropsBullseyeExtras()
    {
        CTargetDesign a;
        a.AddCircle(3.0, 0x112233, 0.02, true, 0x445566, "7", false)->SetBounds(-1.0, -1.0, 2.0, 2.0);
        CBullseyeElement* b = a.AddBullseye(0.5, 0xFFFFFF, 0.04, true, BULLSEYE_X, false);
        b->SetFillColor(0x123456);
        b->SetLabel("B");
        a.SetGrid(0x010203, 0.01, true, 0.5);
        a.SetLabelFontSize(99);
        a.Rebuild();

        CTargetDesign c;
        c.CopyFrom(a);
        QVERIFY(c.Equals(a));
        QVERIFY(c.GetElement(0)->Bounds() == (DesignRect{-1.5, -1.5, 1.5, 1.5}));
        auto* cb = dynamic_cast<CBullseyeElement*>(c.GetElement(1));
        QVERIFY(cb);
        QCOMPARE(cb->Style(), int(BULLSEYE_X));
        QCOMPARE(cb->FillColor(), 0xFFFFFFu);
        QCOMPARE(cb->Label(), QString());
        QCOMPARE(c.Grid().Spacing(), 0.5);
        QVERIFY(c.GetElement(0) != a.GetElement(0));

        c.CopyFrom(c);
        QCOMPARE(c.GetElementCount(), 2);
    }

    void equals_data()
    {
        QTest::addColumn<std::function<void(CTargetDesign&)>>("change");
        QTest::addColumn<bool>("equal");
        using F = std::function<void(CTargetDesign&)>;
        QTest::newRow("own copy") << F([](CTargetDesign&) {}) << true;
        QTest::newRow("ring label") << F([](CTargetDesign& d) { d.GetElement(3)->SetLabel("X"); }) << false;
        QTest::newRow("ring fill") << F([](CTargetDesign& d) { d.GetElement(3)->SetFillColor(0x00FF00); }) << false;
        QTest::newRow("ring shape") << F([](CTargetDesign& d) {
            CTargetDesign t;
            for (int i = 0; i < d.GetElementCount(); ++i) {
                CDesignElement* e = d.GetElement(i);
                if (i == 5)
                    t.AddSquare(e->Diameter(), e->OutlineColor(), e->Thickness(), e->IsEnabled(), e->FillColor(),
                                e->Label(), false);
                else if (i == 0)
                    t.AddBullseye(0.5, 0xFFFFFF, 0.04, true, BULLSEYE_CROSS, false);
                else
                    t.AddCircle(e->Diameter(), e->OutlineColor(), e->Thickness(), e->IsEnabled(), e->FillColor(),
                                e->Label(), false);
            }
            t.SetGrid(0x606060, 0.005, false, 1.0);
            t.SetLabelFontSize(140);
            d.CopyFrom(t);
        }) << false;
        QTest::newRow("ring enabled") << F([](CTargetDesign& d) { d.GetElement(9)->SetEnabled(true); }) << false;
        QTest::newRow("ring diameter") << F([](CTargetDesign& d) { d.GetElement(4)->SetDiameter(3.5); }) << false;
        QTest::newRow("bullseye style") << F([](CTargetDesign& d) {
            static_cast<CBullseyeElement*>(d.GetElement(0))->SetStyle(BULLSEYE_X);
        }) << false;
        QTest::newRow("grid enabled") << F([](CTargetDesign& d) { d.SetGrid(0x606060, 0.005, true, 1.0); }) << false;
        QTest::newRow("grid spacing") << F([](CTargetDesign& d) { d.SetGrid(0x606060, 0.005, false, 0.5); }) << false;
        QTest::newRow("grid colour") << F([](CTargetDesign& d) { d.SetGrid(0x000000, 0.005, false, 1.0); }) << false;
        QTest::newRow("font size") << F([](CTargetDesign& d) { d.SetLabelFontSize(150); }) << false;
        QTest::newRow("one more ring")
            << F([](CTargetDesign& d) { d.AddCircle(12.0, 0, 0.03, false, 0xFFFFFF, "", true); }) << false;
        QTest::newRow("label box is not compared") << F([](CTargetDesign& d) {
            d.GetElement(3)->SetLabelBox(0, 0, 1, 1);
        }) << true;
    }
    void equals()
    {
        QFETCH(std::function<void(CTargetDesign&)>, change);
        QFETCH(bool, equal);
        CTargetDesign a, b;
        a.LoadDefault();
        b.CopyFrom(a);
        change(b);
        QCOMPARE(b.Equals(a), equal);
        QCOMPARE(a.Equals(b), equal);
    }
};

QTEST_GUILESS_MAIN(TestDesignModel)
#include "tst_designmodel.moc"
