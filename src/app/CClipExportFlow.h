#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "export/ClipExport.h"

class QProgressDialog;
class QWidget;

namespace trivane {

// Exporting a marked clip: asks for the target file, runs the export on a worker thread with a
// progress dialog (bar, time left, Cancel), asks before replacing files already under the
// clip's or the GPX file's name and says how it ended. The worker only copies progress and the
// result and posts them to the window thread; no widget is touched off that thread.
class CClipExportFlow final : public QObject {
    Q_OBJECT

public:
    using ExportFn =
        std::function<ClipResult(const ClipRequest&, const ClipProgressFn&, const std::atomic<bool>& cancel)>;

    struct Hooks {
        ExportFn run = RunClipExport;
        // The clip's path; false when the user cancels.
        std::function<bool(std::string& path)> choosePath;
        // A yes/no question; true for yes.
        std::function<bool(const QString& text, const QString& caption)> question;
        std::function<void(const QString& text, const QString& caption, bool warning)> message;
        std::function<QString(int textId)> text;
    };

    // Texts of the language tables.
    static constexpr int kTextExport = 170;      // "Export clip..."
    static constexpr int kTextProgress = 171;    // "Exporting the clip: %s left"
    static constexpr int kTextStarting = 172;    // "Exporting the clip..."
    static constexpr int kTextSaved = 173;       // "Clip saved: %s"
    static constexpr int kTextRoute = 174;       // "Route (GPX): %s"
    static constexpr int kTextEndedEarly = 175;  // the recordings ended before the out mark
    static constexpr int kTextFailed = 176;      // "Clip export failed: %s"
    static constexpr int kTextCancel = 108;
    static constexpr int kTextConfirmCaption = 140;
    static constexpr int kTextConfirm = 141;     // "File "%s" is already exist. ..."

    CClipExportFlow(QWidget& window, Hooks hooks);
    // Cancels a running export and waits for its worker.
    ~CClipExportFlow() override;

    // Asks for the target and starts; false when the user cancelled or an export is running.
    bool Start(ClipRequest request);
    bool Running() const { return worker_.joinable(); }
    // As the dialog's Cancel button.
    void Cancel();
    QProgressDialog* ProgressDialog() const { return dialog_; }

signals:
    void Finished(bool ok);

private:
    void Launch();
    void OnProgress(const ClipProgress& progress);
    void OnResult(const ClipResult& result);
    void Report(const ClipResult& result);
    QString Text(int id) const;
    QString Text(int id, const std::string& value) const;

    QWidget& window_;
    Hooks hooks_;
    ClipRequest request_;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
    QProgressDialog* dialog_ = nullptr;
};

}  // namespace trivane
