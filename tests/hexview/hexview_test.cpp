// The hex view offscreen: the grid, its key filter and its rebuild on show.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "app/Ui.h"
#include "tests/WindowHarness.h"

using namespace pt4;
using namespace pt4::testing;

class HexViewTest : public QObject {
  Q_OBJECT

 private slots:
  void hexView() {
    Harness h;
    h.State().image.RomBuffer[17] = 0xAB;
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
  }
};

QTEST_MAIN(HexViewTest)
#include "hexview_test.moc"
