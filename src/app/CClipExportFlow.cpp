#include "app/CClipExportFlow.h"

#include <QMetaObject>
#include <QProgressDialog>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/UIStrings.h"

namespace trivane {

namespace {

constexpr int kBarRange = 1000;

// "m:ss", whole seconds rounded up so the last second reads 0:01.
std::string MinutesSeconds(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
    const long long s = whole % 60;
    return std::to_string(whole / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

}  // namespace

CClipExportFlow::CClipExportFlow(QWidget& window, Hooks hooks)
    : QObject(&window), window_(window), hooks_(std::move(hooks)) {}

CClipExportFlow::~CClipExportFlow() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

bool CClipExportFlow::Start(ClipRequest request) {
    if (Running()) return false;
    std::string path;
    if (!hooks_.choosePath || !hooks_.choosePath(path) || path.empty()) return false;
    request_ = std::move(request);
    request_.outPath = path;
    request_.replaceExisting = false;
    Launch();
    return true;
}

void CClipExportFlow::Cancel() { cancel_ = true; }

void CClipExportFlow::Launch() {
    if (dialog_ == nullptr) {
        dialog_ = new QProgressDialog(&window_);
        dialog_->setObjectName(QStringLiteral("ClipExportProgress"));
        dialog_->setWindowModality(Qt::NonModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setRange(0, kBarRange);
        connect(dialog_, &QProgressDialog::canceled, this, &CClipExportFlow::Cancel);
    }
    dialog_->setWindowTitle(Text(kTextExport));
    dialog_->setCancelButtonText(Text(kTextCancel));
    dialog_->setLabelText(Text(kTextStarting));
    dialog_->setValue(0);
    dialog_->show();

    cancel_ = false;
    worker_ = std::thread([this, request = request_] {
        const ClipProgressFn progress = [this](const ClipProgress& p) {
            QMetaObject::invokeMethod(this, [this, p] { OnProgress(p); }, Qt::QueuedConnection);
        };
        ClipResult result = hooks_.run(request, progress, cancel_);
        QMetaObject::invokeMethod(this, [this, result = std::move(result)] { OnResult(result); }, Qt::QueuedConnection);
    });
}

void CClipExportFlow::OnProgress(const ClipProgress& progress) {
    if (dialog_ == nullptr || !Running()) return;
    const double fraction = std::isfinite(progress.fraction) ? std::clamp(progress.fraction, 0.0, 1.0) : 0.0;
    dialog_->setValue(static_cast<int>(std::lround(fraction * kBarRange)));
    dialog_->setLabelText(progress.secondsLeft >= 0 && std::isfinite(progress.secondsLeft)
                              ? Text(kTextProgress, MinutesSeconds(progress.secondsLeft))
                              : Text(kTextStarting));
}

void CClipExportFlow::OnResult(const ClipResult& result) {
    if (worker_.joinable()) worker_.join();
    if (dialog_ != nullptr) dialog_->hide();
    if (result.failure == ClipFailure::TargetExists && !request_.replaceExisting && !cancel_.load()) {
        const QString text = Text(kTextConfirm, request_.outPath);
        if (hooks_.question && hooks_.question(text, Text(kTextConfirmCaption))) {
            request_.replaceExisting = true;
            Launch();
            return;
        }
        emit Finished(false);
        return;
    }
    // A stop the user asked for is not reported, whatever it interrupted.
    if (result.ok || !cancel_.load()) Report(result);
    emit Finished(result.ok);
}

void CClipExportFlow::Report(const ClipResult& result) {
    if (!hooks_.message) return;
    if (result.ok) {
        QString text = Text(kTextSaved, result.clipPath) + QLatin1Char('\n') + Text(kTextRoute, result.gpxPath);
        if (result.endedEarly) text += QLatin1Char('\n') + Text(kTextEndedEarly);
        hooks_.message(text, Text(kTextExport), false);
        return;
    }
    if (result.failure == ClipFailure::Canceled) return;
    hooks_.message(Text(kTextFailed, result.message), Text(kTextExport), true);
}

QString CClipExportFlow::Text(int id) const { return hooks_.text ? hooks_.text(id) : QString(); }

QString CClipExportFlow::Text(int id, const std::string& value) const {
    return QString::fromStdString(FormatUIText(Text(id).toStdString(), value));
}

}  // namespace trivane
