// The stored port settings and the "Setup" dialog.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <map>

#include "platform/PortSettingsStore.h"
#include "platform/PortSetupDialog.h"
#include "tests/support/AppTestSupport.h"

namespace {

using Rts = PortSettings::Rts;
using Values = std::map<QString, QVariant>;

const char* kKey = "HKEY_LOCAL_MACHINE\\Software\\Norvik\\ComPort";

void StoreRaw(const Values& values, const QString& key = kKey) {
    const auto store = OpenSettingsKey(key);
    for (const auto& [name, value] : values) store->setValue(name, value);
    store->sync();
}

// A port lister that finds these names, without details.
TPortSetupDialog::PortLister Listing(const QStringList& names) {
    return [names] {
        QList<PortListing> ports;
        for (const QString& name : names) ports.append({name, "", "", ""});
        return ports;
    };
}

// Line settings that no flow-control choice would produce, to see what a load leaves alone.
PortSettings UnusualLines() {
    PortSettings settings;
    settings.RtsMode = Rts::Active;
    settings.DtrActive = true;
    settings.DsrOutFlow = true;
    settings.CtsOutFlow = true;
    settings.XonXoffIn = true;
    return settings;
}

}  // namespace

class PortSettingsTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<ScratchSettings> scratch_;

  private slots:
    void initTestCase() { REQUIRE_HANGUL_FONT(); }
    void init() { scratch_ = std::make_unique<ScratchSettings>(); }
    void cleanup() { scratch_.reset(); }

    void missingValuesGiveAnEmptyPortAndTheDefaults() {
        PortSettings settings = UnusualLines();
        LoadPortSettings(settings);
        QCOMPARE(settings.Port, QString());
        QCOMPARE(settings.BaudRate, QString("9600"));
        QCOMPARE(settings.DataBits, QString("8"));
        QCOMPARE(settings.StopBits, QString("1"));
        QCOMPARE(settings.Parity, QString("None"));
        // no flow control stored: the line settings stay as they were
        QCOMPARE(settings.RtsMode, Rts::Active);
        QVERIFY(settings.CtsOutFlow && settings.XonXoffIn && settings.DtrActive);
    }

    void storedStringsAreMatchedWithoutRegardToCase() {
        const struct {
            const char* name;
            const char* stored;
            const char* loaded;
        } cases[] = {
            {"BaudRate", "115200", "115200"}, {"BaudRate", "abc", "9600"},
            {"BaudRate", "", "9600"},         {"BaudRate", "CUSTOM", "Custom"},
            {"StopBits", "1.5", "1.5"},       {"StopBits", "3", "1"},
            {"DataBits", "7", "7"},           {"DataBits", "9", "8"},
            {"Parity", "even", "Even"},       {"Parity", "spAce", "Space"},
            {"Parity", "parity", "None"},
        };
        for (const auto& c : cases) {
            StoreRaw({{c.name, c.stored}});
            PortSettings settings;
            LoadPortSettings(settings);
            const QString loaded = c.name == QString("BaudRate")   ? settings.BaudRate
                                   : c.name == QString("StopBits") ? settings.StopBits
                                   : c.name == QString("DataBits") ? settings.DataBits
                                                                   : settings.Parity;
            QVERIFY2(loaded == c.loaded,
                     qPrintable(QString("%1=%2 loaded as %3").arg(c.name, c.stored, loaded)));
        }
    }

    void customBaudRateIsReadOnlyForCustom() {
        StoreRaw({{"BaudRate", "9600"}, {"CustomBaudRate", 250000}});
        PortSettings settings;
        settings.CustomBaudRate = 1234;
        LoadPortSettings(settings);
        QCOMPARE(settings.CustomBaudRate, 1234);
        QCOMPARE(settings.EffectiveBaudRate(), 9600);

        StoreRaw({{"BaudRate", "Custom"}});
        LoadPortSettings(settings);
        QCOMPARE(settings.CustomBaudRate, 250000);
        QCOMPARE(settings.EffectiveBaudRate(), 250000);
    }

    void flowControlSetsTheLinesItNamesAndNoOthers() {
        const struct {
            const char* stored;
            Rts rts;
            bool cts, xonIn, xonOut;
        } cases[] = {
            {"None", Rts::Inactive, false, false, false},
            {"hardware", Rts::Handshake, true, false, false},
            {"SOFTWARE", Rts::Inactive, false, true, true},
            {"Custom", Rts::Active, true, true, false},    // unchanged
            {"sideways", Rts::Active, true, true, false},  // unchanged
        };
        for (const auto& c : cases) {
            StoreRaw({{"FlowControl", c.stored}});
            PortSettings settings = UnusualLines();
            LoadPortSettings(settings);
            QVERIFY2(settings.RtsMode == c.rts && settings.CtsOutFlow == c.cts &&
                         settings.XonXoffIn == c.xonIn && settings.XonXoffOut == c.xonOut,
                     c.stored);
            QVERIFY2(settings.DtrActive && settings.DsrOutFlow, c.stored);  // never touched
        }
    }

    void storingWritesTheSevenValuesAndTheDerivedFlowControl() {
        PortSettings settings;
        settings.Port = "/dev/ttyUSB3";
        settings.BaudRate = "Custom";
        settings.CustomBaudRate = 31250;
        settings.StopBits = "2";
        settings.DataBits = "7";
        settings.Parity = "Mark";
        settings.RtsMode = Rts::Handshake;
        settings.CtsOutFlow = true;
        StorePortSettings(settings);
        const auto store = OpenSettingsKey(kKey);
        QCOMPARE(store->childKeys().size(), 7);
        QCOMPARE(store->value("Port").toString(), QString("/dev/ttyUSB3"));
        QCOMPARE(store->value("BaudRate").toString(), QString("Custom"));
        QCOMPARE(store->value("CustomBaudRate").toInt(), 31250);
        QCOMPARE(store->value("FlowControl").toString(), QString("Hardware"));

        PortSettings loaded;
        LoadPortSettings(loaded);
        QCOMPARE(loaded.Port, settings.Port);
        QCOMPARE(loaded.EffectiveBaudRate(), 31250);
        QCOMPARE(loaded.StopBits, QString("2"));
        QCOMPARE(loaded.DataBits, QString("7"));
        QCOMPARE(loaded.Parity, QString("Mark"));
        QCOMPARE(loaded.FlowControl(), QString("Hardware"));

        // A plain rate writes no custom rate; a mixed line setting is "Custom".
        scratch_ = std::make_unique<ScratchSettings>();
        PortSettings plain;
        plain.XonXoffIn = true;
        StorePortSettings(plain);
        QCOMPARE(OpenSettingsKey(kKey)->childKeys().size(), 6);
        QCOMPARE(OpenSettingsKey(kKey)->value("FlowControl").toString(), QString("Custom"));
    }

    // scripts/demo writes this file by hand; the layout is the registry path.
    void theStoreFileKeepsTheKeyPathReadable() {
#ifndef Q_OS_WIN
        QVERIFY(QDir(scratch_->Path()).mkpath("vrx5"));
        QFile file(scratch_->Path() + "/vrx5/vrx5.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[HKEY_LOCAL_MACHINE]\n"
            "Software\\Norvik\\ComPort\\Port=/dev/pts/42\n"
            "Software\\Norvik\\ComPort\\BaudRate=38400\n");
        file.close();
        PortSettings settings;
        LoadPortSettings(settings);
        QCOMPARE(settings.Port, QString("/dev/pts/42"));
        QCOMPARE(settings.BaudRate, QString("38400"));

        StorePortSettings(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("Software\\Norvik\\ComPort\\FlowControl=None"), qPrintable(text));
#endif
    }

    void theRootOfTheBaseKeyIgnoresCase() {
        PortSettings settings;
        settings.Port = "COM7";
        StorePortSettings(settings, "hkey_current_user\\Software\\Norvik");
        PortSettings loaded;
        LoadPortSettings(loaded, "HKEY_CURRENT_USER\\Software\\Norvik");
        QCOMPARE(loaded.Port, QString("COM7"));
        LoadPortSettings(loaded);  // the machine key is another key
        QCOMPARE(loaded.Port, QString());
    }

    void failuresReportTheirTexts() {
        PortSettings settings;
        QVERIFY_THROWS_EXCEPTION(PortError, LoadPortSettings(settings, "HKEY_NOWHERE\\Software"));
        try {
            LoadPortSettings(settings, "HKEY_NOWHERE\\Software");
        } catch (const PortError& error) {
            QCOMPARE(QString(error.what()), QString("Failed to load settings"));
        }
        QVERIFY(QDir(scratch_->Path()).mkpath("vrx5"));
        QFile malformed(scratch_->Path() + "/vrx5/vrx5.ini");
        QVERIFY(malformed.open(QIODevice::WriteOnly));
        malformed.write("[HKEY_LOCAL_MACHINE\n\x01\xff=\"unterminated\n");
        malformed.close();
        QVERIFY_THROWS_EXCEPTION(PortError, LoadPortSettings(settings));
        QVERIFY(malformed.remove());

        // The store's file cannot be written when a directory stands in its place.
        QVERIFY(QDir(scratch_->Path()).mkpath("vrx5/vrx5.ini"));
        try {
            StorePortSettings(settings);
            QFAIL("storing into a directory succeeded");
        } catch (const PortError& error) {
            QCOMPARE(QString(error.what()), QString("Failed to store settings"));
        }
    }

    // ------------------------------------------------------------ the dialog

    void dialogStartsOnTheCurrentSettings() {
        PortSettings current;
        current.Port = "/dev/pts/77";
        current.BaudRate = "57600";
        current.Parity = "Odd";
        current.ApplyFlowControl("Software");
        TPortSetupDialog dialog(current, Listing({"ttyS0", "ttyS1"}));
        QCOMPARE(dialog.windowTitle(), QString("Setup"));
        QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QString(" Settings "));
        QStringList labels;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->objectName() != "Label_PortDetails") labels << label->text();
        }
        QCOMPARE(labels, QStringList({"Port", "Baud rate", "Data bits", "Stop bits", "Parity",
                                      "Flow control"}));
        const auto list = [&](const char* name) { return dialog.findChild<QComboBox*>(name); };
        QCOMPARE(list("ComboBox_Port")->currentText(), QString("/dev/pts/77"));
        QCOMPARE(list("ComboBox_BaudRate")->currentText(), QString("57600"));
        QCOMPARE(list("ComboBox_DataBits")->currentText(), QString("8"));
        QCOMPARE(list("ComboBox_StopBits")->currentText(), QString("1"));
        QCOMPARE(list("ComboBox_Parity")->currentText(), QString("Odd"));
        QCOMPARE(list("ComboBox_FlowControl")->currentText(), QString("Software"));
        auto* ok = dialog.findChild<QPushButton*>("Btn_OK");
        QVERIFY(ok->isDefault());
        QCOMPARE(ok->text(), QString("OK"));
        QCOMPARE(dialog.findChild<QPushButton*>("Btn_Cancel")->text(), QString("Cancel"));
    }

    void dialogChoicesApplyAllAtOnce() {
        PortSettings current;
        current.DtrActive = true;
        TPortSetupDialog dialog(current, Listing({"ttyS0"}));
        const auto list = [&](const char* name) { return dialog.findChild<QComboBox*>(name); };
        list("ComboBox_Port")->setCurrentIndex(0);
        list("ComboBox_BaudRate")->setCurrentText("19200");
        list("ComboBox_DataBits")->setCurrentText("7");
        list("ComboBox_StopBits")->setCurrentText("2");
        list("ComboBox_Parity")->setCurrentText("Even");
        list("ComboBox_FlowControl")->setCurrentText("Hardware");
        const PortSettings chosen = dialog.Chosen();
        QCOMPARE(chosen.Port, QString("ttyS0"));
        QCOMPARE(chosen.BaudRate, QString("19200"));
        QCOMPARE(chosen.DataBits, QString("7"));
        QCOMPARE(chosen.StopBits, QString("2"));
        QCOMPARE(chosen.Parity, QString("Even"));
        QCOMPARE(chosen.FlowControl(), QString("Hardware"));
        QVERIFY(chosen.DtrActive);
    }

    void portListShowsDetailsBesideTheNameAndStoresTheName() {
        QList<PortListing> present{{"ttyS0", "", "", ""},
                                   {"ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}};
        TPortSetupDialog dialog(PortSettings{}, [&] { return present; });
        auto* list = dialog.findChild<QComboBox*>("ComboBox_Port");
        auto* details = dialog.findChild<QLabel*>("Label_PortDetails");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->model()->index(1, 1).data().toString(),
                 QString("FT232R USB UART, FTDI, serial A50285BI"));
        list->setCurrentIndex(1);
        QCOMPARE(list->currentText(), QString("ttyUSB0"));
        QCOMPARE(details->text(), QString("FT232R USB UART, FTDI, serial A50285BI"));
        QCOMPARE(dialog.Chosen().Port, QString("ttyUSB0"));

        // An adapter plugged in while the dialog is open appears on Refresh;
        // a typed path stays what it was.
        list->setEditText("/dev/serial/by-id/usb-adapter-if00-port0");
        present.append({"ttyUSB1", "CP2102 USB to UART", "Silicon Labs", "0001"});
        QTest::mouseClick(dialog.findChild<QPushButton*>("Btn_Refresh"), Qt::LeftButton);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->currentText(), QString("/dev/serial/by-id/usb-adapter-if00-port0"));
        QCOMPARE(dialog.Chosen().Port, QString("/dev/serial/by-id/usb-adapter-if00-port0"));
    }

    void typedSymlinkIsAcceptedAndShowsWhereItLeads() {
        QTemporaryDir dir;
        PtyLine line;
        const QString link = dir.filePath("drive");
        QVERIFY(QFile::link(line.Path(), link));
        PortSettings current;
        current.Port = link;
        TPortSetupDialog dialog(current, [] { return QList<PortListing>{}; });
        QCOMPARE(dialog.Chosen().Port, link);
        QCOMPARE(dialog.findChild<QLabel*>("Label_PortDetails")->text(), "leads to " + line.Path());
    }

    void portListIsSortedByName() {
        const QStringList ports = AvailablePortNames();
        QStringList sorted = ports;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(ports, sorted);
    }
};

QTEST_MAIN(PortSettingsTest)
#include "PortSettingsTest.moc"
