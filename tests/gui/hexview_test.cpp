// The hex view offscreen: the grid, its key filter and its rebuild on show.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <tuple>

#include "tests/gui/WindowHarness.h"

using namespace pt4;
using namespace pt4::testing;

class HexViewTest : public QObject {
  Q_OBJECT

 private slots:
  void hexView() {
    Harness h;
    h.State().image.RomBuffer[17] = 0xAB;
    QVERIFY(h.hexedit->StringGrid1 == nullptr);  // made when first shown
    h.form1->EditButtonClick();
    HexGridModel& m = *h.hexedit->Model();
    QCOMPARE(m.rowCount(), 16);
    QCOMPARE(m.columnCount(), 16);
    QCOMPARE(m.headerData(15, Qt::Horizontal, Qt::DisplayRole).toString(), QString("+F"));
    QCOMPARE(m.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString("000001"));
    QCOMPARE(m.Cell(1, 1), QString("AB"));
    HexGrid* g = h.hexedit->StringGrid1;
    g->setCurrentIndex(m.index(0, 0));
    g->StringGrid1KeyPress('a', nullptr);  // "00": beep and empty
    QCOMPARE(h.hexedit->windowTitle(), QString("97"));
    QCOMPARE(m.Cell(0, 0), QString(""));
    g->StringGrid1KeyPress('a', nullptr);
    QCOMPARE(m.Cell(0, 0), QString("A"));
    g->StringGrid1KeyPress('g', nullptr);
    QCOMPARE(h.hexedit->windowTitle(), QString("103"));
    g->StringGrid1KeyPress(8, nullptr);  // Backspace on one digit: only the caption
    QCOMPARE(h.hexedit->windowTitle(), QString("8"));
    g->StringGrid1KeyPress('0', nullptr);
    QCOMPARE(m.Cell(0, 0), QString("A0"));
    QCOMPARE(h.State().image.RomBuffer[0], std::uint8_t{0});  // never reaches the buffer
    // A load while the view is open leaves it; closing and showing rebuilds.
    h.State().image.RomBuffer[0] = 0x05;
    QCOMPARE(m.Cell(0, 0), QString("A0"));
    h.hexedit->Close1Click();
    h.form1->EditButtonClick();
    QCOMPARE(m.Cell(0, 0), QString("05"));
    // The main window is its transient parent: a compositor keeps them together.
    QCOMPARE(h.hexedit->windowHandle()->transientParent(), h.form1->windowHandle());
  }

  // A Cyrillic layout's letters type the hex digits of their keys' places on a
  // Latin keyboard; a Latin layout's keep their own meaning wherever they sit.
  void hexDigitsByKeyPositionUnderAnyLayout() {
    Harness h;
    h.form1->EditButtonClick();
    HexGrid* g = h.hexedit->StringGrid1;
    HexGridModel& m = *h.hexedit->Model();
    auto type = [&](QWidget* to, const QString& text, quint32 scanCode) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, scanCode, 0, 0, text);
      QApplication::sendEvent(to, &press);
    };
    g->setCurrentIndex(m.index(2, 2));
    g->setFocus();
    type(g, "x", 53);                     // "00" there: emptied
    type(g, QString::fromUtf8("ф"), 38);  // the A key
    QCOMPARE(m.Cell(2, 2), QString("A"));
    QCOMPARE(h.hexedit->windowTitle(), QString("65"));
    auto* ed = g->findChild<QLineEdit*>();
    QVERIFY(ed != nullptr);
    type(ed, QString::fromUtf8("И"), 56);  // the B key, shifted
    QCOMPARE(ed->text(), QString("AB"));
    type(ed, QString::fromUtf8("ы"), 39);  // S: no hex digit there, so the cell empties
    QCOMPARE(ed->text(), QString(""));
    for (auto [letter, code, digit] : {std::tuple{"с", 54u, "C"}, {"в", 40u, "D"}}) {
      type(ed, QString::fromUtf8(letter), code);
      QVERIFY(ed->text().endsWith(digit));
    }
    QCOMPARE(ed->text(), QString("CD"));
    // A Latin letter keeps its meaning: AZERTY's "q" on the A key is no digit.
    g->setCurrentIndex(m.index(4, 4));
    g->setFocus();
    type(g, "x", 53);
    type(g, "q", 38);
    QCOMPARE(m.Cell(4, 4), QString(""));
    type(g, QString::fromUtf8("é"), 11);  // AZERTY's key 2: refused as before
    QCOMPARE(m.Cell(4, 4), QString(""));
    QCOMPARE(h.hexedit->windowTitle(), QString("233"));
  }

  // Every way into a cell's editor passes each character through the key filter.
  void everyRouteIntoACellIsFiltered() {
    Harness h;
    h.form1->EditButtonClick();
    HexGrid* g = h.hexedit->StringGrid1;
    HexGridModel& m = *h.hexedit->Model();
    QCOMPARE(g->horizontalHeader()->height(), 20);
    QVERIFY(QTest::qWaitForWindowExposed(h.hexedit.get()));
    QApplication::setActiveWindow(h.hexedit.get());
    auto editorOf = [&]() { return g->findChild<QLineEdit*>(); };
    auto cellCentre = [&](int row, int col) { return g->visualRect(m.index(row, col)).center(); };
    // Double-click opens the editor: lower case comes in as capitals, junk is
    // dropped, a third key empties the cell, and the caption shows each code.
    // As the window system sends a double-click: a click, then the second press.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cellCentre(1, 1));
    QLineEdit* ed = editorOf();
    QVERIFY(ed != nullptr && ed->isVisible());
    QCOMPARE(ed->text(), QString("00"));
    QTest::keyClicks(ed, "z");  // two digits already: beep, empty
    QCOMPARE(ed->text(), QString(""));
    QCOMPARE(h.hexedit->windowTitle(), QString("122"));
    QTest::keyClicks(ed, "bq7");
    QCOMPARE(ed->text(), QString("B7"));
    QCOMPARE(h.hexedit->windowTitle(), QString("55"));
    // Tab while editing: the next cell's editor is filtered too.
    QTest::keyClick(ed, Qt::Key_Tab);
    QCOMPARE(m.Cell(1, 1), QString("B7"));
    QLineEdit* next = nullptr;
    for (auto* e : g->findChildren<QLineEdit*>()) {
      if (e->isVisible() && e != ed) next = e;
    }
    if (next == nullptr) next = editorOf();
    QVERIFY(next != nullptr);
    QTest::keyClicks(next, "x");  // "00" there: emptied
    QTest::keyClicks(next, "cg");
    QCOMPARE(next->text(), QString("C"));
    QCOMPARE(h.hexedit->windowTitle(), QString("103"));
    // Paste: each character through the filter; the junk never lands.
    QApplication::clipboard()->setText("d!e9");
    QTest::keyClick(next, Qt::Key_V, Qt::ControlModifier);
    // 'd' makes CD, '!' on two digits empties the cell, then 'e' and '9' are typed.
    QCOMPARE(next->text(), QString("E9"));
    QCOMPARE(h.hexedit->windowTitle(), QString("57"));
    // Pasted on a cell with no editor open: the same filter ("00", so emptied).
    QApplication::clipboard()->setText("a");
    g->setCurrentIndex(m.index(3, 3));
    g->setFocus();
    QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m.Cell(3, 3), QString(""));
    QCOMPARE(h.hexedit->windowTitle(), QString("97"));
    // F2 opens an editor that is filtered as well.
    g->setCurrentIndex(m.index(5, 5));
    QTest::keyClick(g, Qt::Key_F2);
    QLineEdit* f2 = nullptr;
    for (auto* e : g->findChildren<QLineEdit*>()) {
      if (e->isVisible()) f2 = e;
    }
    QVERIFY(f2 != nullptr);
    QTest::keyClicks(f2, "q");
    QCOMPARE(h.hexedit->windowTitle(), QString("113"));
    // Nothing typed reached the buffer.
    QCOMPARE(h.State().image.RomBuffer[17], std::uint8_t{0});
  }
};

QTEST_MAIN(HexViewTest)
#include "hexview_test.moc"
