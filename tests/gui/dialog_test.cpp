// The parameters dialog offscreen: its fields, its answers and the settings file.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <tuple>

#include "tests/gui/WindowHarness.h"

using namespace pt4;
using namespace pt4::testing;

class DialogTest : public QObject {
  Q_OBJECT

 private slots:
  void parametersDialog() {
    Harness h;
    TForm2& d = *h.form2;
    ProgParams& p = h.State().params;
    QCOMPARE(p.ProgVoltage, 120);
    QCOMPARE(p.ProgTime, 100);
    QCOMPARE(p.CompMask, std::uint8_t{0x03});
    // No controls until the dialog is needed; made then, they show the parameters.
    QVERIFY(d.findChild<QComboBox*>("VprgBox") == nullptr);
    p.ProgTime = 250;
    p.CompMask = 0x0F;
    QString shownTime;
    bool fullShown = false;
    auto a = Answer([&](QWidget* w) {
      shownTime = w->findChild<QLineEdit*>("PrgTBox")->text();
      fullShown = w->findChild<QRadioButton*>("Wr_Comp3")->isChecked();
      auto* box = w->findChild<QComboBox*>("VprgBox");
      box->setCurrentIndex(6);  // 13.5
      Click(w, "WrNo");
    });
    const bool compareConfirmed = d.ShowFor("Compare", h.form1.get());
    QVERIFY(a->seen);
    QCOMPARE(shownTime, QString("250"));
    QVERIFY(fullShown);
    QCOMPARE(p.ProgTime, 250);
    QCOMPARE(p.CompMask, std::uint8_t{0x0F});
    QCOMPARE(a->title, QString("Write / Compare parameters"));
    QCOMPARE(p.ProgVoltage, 135);
    QVERIFY(!compareConfirmed);
    QVERIFY(QFileInfo::exists(h.dir.filePath("ZI4.ini")));

    auto enter = Answer([](QWidget* w) {
      auto* edit = w->findChild<QLineEdit*>("PrgCBox");
      edit->setFocus();
      QTest::keyClick(edit, Qt::Key_Return);
    });
    const bool enterConfirmed = d.ShowFor("Write", h.form1.get());
    QVERIFY(enter->seen);
    QVERIFY(!enterConfirmed);

    auto go = Answer([](QWidget* w) { Click(w, "WrYes"); });
    QVERIFY(d.ShowFor("Write", h.form1.get()));

    d.PrgTBox->selectAll();
    QTest::keyClicks(d.PrgTBox, "2");
    QCOMPARE(p.ProgTime, 2);
    QTest::keyClicks(d.PrgTBox, "5");
    QCOMPARE(p.ProgTime, 25);
    QTest::keyClicks(d.PrgTBox, "0");
    QCOMPARE(p.ProgTime, 250);
    d.PrgTBox->setText("");
    QCOMPARE(d.PrgTBox->text(), QString("100"));
    QCOMPARE(p.ProgTime, 100);
    d.PrgTBox->setText("$64");
    QCOMPARE(p.ProgTime, 100);
    d.PrgTBox->setText("12a");
    QCOMPARE(d.PrgTBox->text(), QString("100"));
    d.PrgCBox->setText(" 7");
    QCOMPARE(p.ProgCycles, 7);
    d.PrgCBox->setText("7 ");
    QCOMPARE(d.PrgCBox->text(), QString("10"));
    // Bounded as pt4cli's options are: a pulse of 0 to 10000 ms, 1 to 1000 cycles.
    const std::tuple<QLineEdit*, const char*, std::int32_t*, const char*> bounded[] = {
        {d.PrgTBox, "0", &p.ProgTime, "0"},           {d.PrgTBox, "10000", &p.ProgTime, "10000"},
        {d.PrgTBox, "10001", &p.ProgTime, "100"},     {d.PrgTBox, "-1", &p.ProgTime, "100"},
        {d.PrgTBox, "$7FFFFFFF", &p.ProgTime, "100"}, {d.PrgCBox, "1", &p.ProgCycles, "1"},
        {d.PrgCBox, "1000", &p.ProgCycles, "1000"},   {d.PrgCBox, "1001", &p.ProgCycles, "10"},
        {d.PrgCBox, "0", &p.ProgCycles, "10"},        {d.PrgCBox, "-3", &p.ProgCycles, "10"}};
    for (const auto& [field, typed, value, shown] : bounded) {
      field->setText(typed);
      QCOMPARE(field->text(), QString(shown));
      QCOMPARE(*value, QString(shown).toInt());
    }
    d.BufStWrAddr->clear();
    QTest::keyClicks(d.BufStWrAddr, "ab");
    QCOMPARE(d.BufStWrAddr->text(), QString("AB"));
    d.maskItems->button(1)->click();
    QCOMPARE(p.CompMask, std::uint8_t{0x0C});
    QVERIFY(p.LowToHigh);

    // A folder that cannot be written: the message names the file, the dialog still closes.
    d.SetSettingsFolder("/nonexistent-folder");
    std::shared_ptr<ModalAnswer> msg;
    auto close = Answer([&msg](QWidget* w) {
      msg = Answer(Key(Qt::Key_Return));
      Click(w, "WrNo");
    });
    (void)d.ShowFor("Write", h.form1.get());
    QVERIFY(close->seen);
    QVERIFY(msg && msg->seen);
    QCOMPARE(msg->text, QString("Unable to write to /nonexistent-folder/ZI4.ini"));
    QVERIFY(!d.isVisible());
  }

  // Tab visits the controls in the designed order, each radio group once, at the
  // same place whichever item is selected.
  void tabOrderAndListRows() {
    Harness h;
    TForm2& d = *h.form2;
    d.EnsureControls();
    for (int selected : {0, 2, 3}) {
      d.maskItems->button(selected)->setChecked(true);
      QStringList order;
      auto walk = Answer([&order](QWidget* w) {
        // Focus moves only inside the active window, which a busy window system
        // may make this one a little later than it shows it.
        QApplication::setActiveWindow(w);
        w->findChild<QLineEdit*>("BufStWrAddr")->setFocus();
        for (int i = 0; i < 12; ++i) {
          QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != nullptr, 20000);
          QWidget* f = QApplication::focusWidget();
          order << (f->objectName().isEmpty() ? f->parentWidget()->objectName() : f->objectName());
          QTest::keyClick(f, Qt::Key_Tab);
        }
        Click(w, "WrNo");
      });
      (void)d.ShowFor("Compare", h.form1.get());
      QVERIFY(walk->seen);
      const QStringList want = {"BufStWrAddr",  "WrYes",       "WrNo",
                                "BufEndWrAddr", "ROMStWrAddr", "ROMEndWrAddr",
                                "VprgBox",      "PrgTBox",     QString("Wr_Comp%1").arg(selected),
                                "PrgCBox"};
      QCOMPARE(order.mid(0, want.size()), want);
    }
    // The dropped voltage list's rows are 14 pixels high, as designed.
    QStyleOptionViewItem option;
    const QSize row = d.VprgBox->itemDelegate()->sizeHint(option, d.VprgBox->model()->index(0, 0));
    QCOMPARE(row.height(), 14);
  }

  // Installed where a user cannot write, the settings go to ~/.config/pt4prog
  // without a box; from a folder that can be written, beside the executable.
  void settingsFileWhereItCanBeWritten() {
    Harness h;
    TForm2& d = *h.form2;
    d.SetSettingsFolder("");
    QString readOnly = h.dir.filePath("bin");
    const QString home = h.dir.filePath("home");
#ifdef Q_OS_WIN
    // Windows keeps a user's settings in the application data folder. A folder
    // has no write bit there, and Wine's root may write anywhere: a folder that
    // cannot be made plays Program Files.
    readOnly = h.dir.filePath("file/bin");
    QFile(h.dir.filePath("file")).open(QIODevice::WriteOnly);
    const char* userFolder = "APPDATA";
    const QString expected = home + "/pt4prog/ZI4.ini";
#else
    QDir().mkpath(readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const char* userFolder = "HOME";
    const QString expected = home + "/.config/pt4prog/ZI4.ini";
#endif
    const QByteArray oldHome = qgetenv(userFolder), oldXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv(userFolder, home.toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    d.SetExecutableFolder(readOnly);
    std::shared_ptr<ModalAnswer> box;
    auto close = Answer([&box](QWidget* w) {
      box = Answer(Key(Qt::Key_Return), 300);  // a box here would be the fault
      Click(w, "WrNo");
    });
    (void)d.ShowFor("Write", h.form1.get());
    QTest::qWait(350);
    QVERIFY(close->seen);
    QVERIFY(box != nullptr);
    box->Cancel();
    QVERIFY2(!box->seen, qPrintable(box->text));
    QVERIFY2(QFileInfo::exists(expected), qPrintable(expected));
    QVERIFY(!QFileInfo::exists(readOnly + "/ZI4.ini"));
    const QString writable = h.dir.filePath("portable");
    QDir().mkpath(writable);
    d.SetExecutableFolder(writable);
    auto again = Answer([](QWidget* w) { Click(w, "WrNo"); });
    (void)d.ShowFor("Write", h.form1.get());
    QVERIFY(again->seen);
    QVERIFY(QFileInfo::exists(writable + "/ZI4.ini"));
    QFile::setPermissions(readOnly,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv(userFolder, oldHome);
    if (!oldXdg.isEmpty()) qputenv("XDG_CONFIG_HOME", oldXdg);
  }
};

QTEST_MAIN(DialogTest)
#include "dialog_test.moc"
