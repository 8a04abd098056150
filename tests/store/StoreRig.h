#pragma once
// A store window on a real engine whose port talks to the stand-in drive in
// process (the editor's rig: replies wait in a queue until delivered). The
// progress window is the real one; while it is up, the test steps the write's
// pacing timer, delivers the replies and ticks the progress window by hand.

#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "store/StoreForm.h"
#include "tests/parameters/EditorRig.h"

struct StoreRig {
    StoreRig() = default;
    explicit StoreRig(DriveSim::Config drive) : link(std::move(drive)) {}

    // Everything of the editor's rig but its drive, which this one may configure.
    struct Link : EditorRig {
        Link() = default;
        explicit Link(DriveSim::Config drive) { sim = DriveSim(std::move(drive)); }
    };

    std::unique_ptr<TFormStore> OpenStore(QString directory = {}) {
        StoreServices services{[this] { ShowProgress(); },
                               [this](const std::string& text) { statusTexts.push_back(text); },
                               directory.isNull() ? files.path() : directory, axis,
                               [this](QPrinter& printer, QWidget*) {
                                   if (printTo.isEmpty()) return false;
                                   printer.setOutputFormat(QPrinter::PdfFormat);
                                   printer.setOutputFileName(printTo);
                                   return true;
                               }};
        auto store = std::make_unique<TFormStore>(link.comm, std::move(services));
        store->show();
        store->FormActivate();
        window = store.get();
        return store;
    }

    std::vector<std::string> Requests() const { return link.Requests(); }

    Link link;
    QTemporaryDir files;
    std::shared_ptr<int> axis = std::make_shared<int>(0);
    std::vector<std::string> statusTexts;
    QString printTo;
    TFormStore* window = nullptr;
    int progressShown = 0;
    // False: the progress window is not shown and replies wait until delivered.
    bool runProgress = true;
    bool progressClosedItself = false;
    // Runs on every round while the progress window is up (round number from 0).
    std::function<void(int round, TFrm_Status& status)> duringProgress;

  private:
    static constexpr int kMaxRounds = 2000;

    void ShowProgress() {
        ++progressShown;
        if (!runProgress) return;
        QPointer<TFrm_Status> status = new TFrm_Status(link.comm, window);
        status->show();
        auto* pacing = window->findChild<TiThreadTimers*>("ThreadTimers_PrmSet");
        for (int round = 0; round < kMaxRounds && status && status->isVisible(); ++round) {
            pacing->Fire(1);
            link.Deliver();
            if (duringProgress) duringProgress(round, *status);
            if (status && status->isVisible())
                status->findChild<TiThreadTimers*>("ThreadTimers_Status")->Fire(1);
        }
        progressClosedItself = !status || !status->isVisible();
        delete status.data();
    }
};
