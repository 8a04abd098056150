// What the main window shows before anything happens: its menus with their
// hints and shortcuts, the tool bar, the status bar, and the splash at start.

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app/Logo.h"
#include "platform/ThreadTimers.h"
#include "tests/support/AppTestSupport.h"
#include "widgets/ClockDisplay.h"
#include "widgets/MessageService.h"

namespace {

// "caption|hint|shortcut" of each entry, "-" for a separator.
QStringList Entries(const QList<QAction*>& actions) {
    QStringList entries;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            entries << "-";
        else
            entries << QString("%1|%2|%3")
                           .arg(action->text(), action->statusTip(), action->shortcut().toString());
    }
    return entries;
}

}  // namespace

class MainLayoutTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<ScratchSettings> settings_;
    std::unique_ptr<MessageCapture> boxes_;

  private slots:
    void initTestCase() {
        REQUIRE_HANGUL_FONT();
        TiThreadTimers::SetDefaultMode(TiThreadTimers::Mode::Manual);
    }
    void init() {
        settings_ = std::make_unique<ScratchSettings>();
        boxes_ = std::make_unique<MessageCapture>();
    }
    void cleanup() {
        boxes_.reset();
        settings_.reset();
    }

    void menusCarryTheirCaptionsHintsAndShortcuts() {
        TMainForm main(TMainForm::Options{false});
        QCOMPARE(main.windowTitle(), QString("VRX5 Application"));
        const QList<QAction*> bar = main.menuBar()->actions();
        QCOMPARE(Entries(bar),
                 QStringList({"E&xit||", "&Parameter||", "Monitor||", "Etc..||", "Connection||",
                              "&Setup||", "&Edit|Edit commands|",
                              "&Window|Window related commands|", "&Help|Help topics|"}));
        const QList<QStringList> items = {
            {"Parameter Set|Parameter Setting|", "Store(Servo<->PC)|Parameter Store|"},
            {"Monitoring|Monitoring|", "Trigger Monitoring|Trigger monitoring|"},
            {"Program Down..||", "Error Display..||"},
            {"OnLine|Com port Open/Close|"},
            {"Com Port Set-Up|Com port set up|"},
            {"Cu&t||Ctrl+X", "&Copy||Ctrl+C", "&Paste||Ctrl+V"},
            {"&Cascade||", "Tile &Horizontally||", "Tile &Vertically||", "&Minimize All||",
             "&Arrange All||"},
            {"&About...||", "-", "&Help...||"},
        };
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QMenu* menu = bar[i + 1]->menu();
            QVERIFY(menu);
            QCOMPARE(Entries(menu->actions()), items[i]);
        }
    }

    void toolBarButtonsShareTheMenuCommands() {
        TMainForm main(TMainForm::Options{false});
        const QToolBar* tools = main.findChild<QToolBar*>("ToolBar1");
        QCOMPARE(Entries(tools->actions()),
                 QStringList(
                     {"Parameter Set|Parameter Setting|", "Store(Servo<->PC)|Parameter Store|", "-",
                      "Monitoring|Monitoring|", "Trigger Monitoring|Trigger monitoring|", "-",
                      "OnLine|Com port Open/Close|", "-", "Com Port Set-Up|Com port set up|", "-",
                      "Cu&t||Ctrl+X", "&Copy||Ctrl+C", "&Paste||Ctrl+V", "-", "&Cascade||",
                      "Tile &Horizontally||", "Tile &Vertically||"}));
        // The on-line button is the menu command itself, so both follow the toggle.
        QCOMPARE(tools->actions()[6], main.findChild<QAction*>("OnLine"));
    }

    void statusBarRunsClockAlarmStatusOnLine() {
        TMainForm main(TMainForm::Options{false});
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QWidget* clock = main.findChild<ClockDisplay*>("Clock");
        const QWidget* alarm = AlarmLed(main);
        const QWidget* panel = StatusPanel(main);
        const QWidget* online = OnLineLed(main);
        const struct {
            const QWidget* widget;
            int width;
            QString hint;
        } cells[] = {{clock, 73, {}},
                     {alarm, 81, "Display  Alarm or Alarm clear.."},
                     {panel, -1, {}},
                     {online, 120, "Repeat Online or Offline."}};
        int left = -1;
        for (const auto& cell : cells) {
            QVERIFY(cell.widget->geometry().left() > left);
            left = cell.widget->geometry().right();
            if (cell.width > 0) QCOMPARE(cell.widget->width(), cell.width);
            QCOMPARE(cell.widget->toolTip(), cell.hint);
        }
        // The status text takes what the others leave; the communication LED sits at its left end.
        QVERIFY(panel->width() > main.width() - 73 - 81 - 120 - 20);
        QCOMPARE(CommLed(main)->parentWidget(), panel);
        QVERIFY(CommLed(main)->geometry().left() < 10);
        QCOMPARE(AlarmLed(main)->Label(), QString("ALARM"));
        QCOMPARE(OnLineLed(main)->Label(), QString("Off Line"));
        QVERIFY(StatusPanel(main)->font().bold());
    }

    // The splash comes once, on the first show, and goes at a click or any key.
    void splashClosesOnAClickOrAKey_data() {
        QTest::addColumn<bool>("click");
        QTest::newRow("click") << true;
        QTest::newRow("key") << false;
    }
    void splashClosesOnAClickOrAKey() {
        QFETCH(bool, click);
        TMainForm main;
        main.show();
        QTRY_VERIFY(main.findChild<TForm_Logo*>());
        QPointer<TForm_Logo> logo = main.findChild<TForm_Logo*>();
        QTRY_VERIFY(logo->isVisible());
        QCOMPARE(logo->size(), QSize(500, 332));
        QCOMPARE(QApplication::activeModalWidget(), logo.data());
        if (click)
            QTest::mouseClick(logo, Qt::LeftButton);
        else
            QTest::keyClick(logo, Qt::Key_Space);
        QTRY_VERIFY(!logo);
        main.hide();
        main.show();
        QTest::qWait(50);
        QVERIFY(!main.findChild<TForm_Logo*>());
    }

    void splashClosesByItselfAfterTwoSeconds() {
        TMainForm main;
        main.show();
        QTRY_VERIFY(main.findChild<TForm_Logo*>());
        QPointer<TForm_Logo> logo = main.findChild<TForm_Logo*>();
        QTest::qWait(TForm_Logo::kShowMs / 4);
        QVERIFY(logo);
        QTRY_VERIFY_WITH_TIMEOUT(!logo, 10000);
    }
};

QTEST_MAIN(MainLayoutTest)
#include "MainLayoutTest.moc"
