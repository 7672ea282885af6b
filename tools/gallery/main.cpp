// Renders every instrument control in its main states into PNG files for a visual check.
// Usage: trivane-gallery <output dir> [recording]: with a recording, its G-sensor curve too,
// loaded the way the player loads it.
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BrakingRecording.h"
#include "library/CRecordingManager.h"
#include "widgets/ArtResources.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CGdiPlusBitmapResource.h"
#include "widgets/CGdipButton.h"
#include "widgets/CMySliderControl.h"
#include "widgets/CPngCompassStatic.h"
#include "widgets/CPngStatic.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CStatusBoardStatic.h"
#include "widgets/CVideoSlider.h"
#include "widgets/CVideoStatic.h"
#include "widgets/OutlinedText.h"

using namespace trivane;

namespace {

const QColor kWindow(5, 5, 5);
QDir g_out;
int g_failures = 0;

void Save(const QImage& image, const QString& name) {
    const QString path = g_out.filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
    } else {
        std::printf("%s\n", qPrintable(path));
    }
}

// A dark host widget like the main window's client area.
std::unique_ptr<QWidget> Host(QSize size) {
    auto host = std::make_unique<QWidget>();
    host->setAttribute(Qt::WA_DontShowOnScreen);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, kWindow);
    host->setPalette(pal);
    host->setAutoFillBackground(true);
    host->resize(size);
    return host;
}

QImage Grab(QWidget& w) {
    w.show();
    return w.grab().toImage();
}

// Every picture resource on the window colour, twice its size, with its id.
void ArtSheet() {
    struct Item { std::uint16_t id; bool bitmap; };
    const std::vector<Item> items = {
        {129, false}, {132, false}, {133, false}, {136, false}, {137, false}, {138, false},
        {139, false}, {140, false}, {141, false}, {142, false}, {143, false}, {176, false},
        {145, false}, {146, false}, {147, false}, {148, false}, {151, false}, {152, false},
        {153, false}, {154, false}, {1045, false}, {187, false}, {188, false}, {156, false},
        {155, false}, {150, false}, {157, false}, {167, false}, {168, false}, {169, false},
        {170, false}, {171, false}, {172, false}, {173, false}, {174, false}, {144, false},
        {175, false}, {149, false}, {193, false}, {158, true}, {161, true}, {189, true}};
    const int cell = 150;
    const int columns = 7;
    const int rows = static_cast<int>((items.size() + columns - 1) / columns);
    QImage sheet(columns * cell, rows * cell, QImage::Format_RGB32);
    sheet.fill(kWindow);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(QColor(150, 150, 150));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int cx = static_cast<int>(i % columns) * cell;
        const int cy = static_cast<int>(i / columns) * cell;
        QImage image;
        if (items[i].bitmap) {
            image = LoadBitmapResource(items[i].id);
        } else {
            CGdiPlusBitmapResource res;
            if (res.LoadPng(items[i].id)) image = *res.Bitmap();
        }
        if (image.isNull()) {
            p.drawText(cx + 4, cy + 16, QStringLiteral("%1 missing").arg(items[i].id));
            ++g_failures;
            continue;
        }
        const int scale = std::max(1, std::min(2, 120 / std::max(image.width(), image.height())));
        const QSize shown = image.size() * scale;
        p.drawImage(QRect(QPoint(cx + (cell - shown.width()) / 2, cy + 8), shown), image);
        p.drawText(cx + 4, cy + cell - 8,
                   QStringLiteral("%1  %2x%3").arg(items[i].id).arg(image.width()).arg(image.height()));
    }
    p.end();
    Save(sheet, QStringLiteral("art_sheet"));

    CGdiPlusBitmapResource wide;
    if (wide.LoadPng(201)) {
        QImage shown(wide.Width() / 2, wide.Height() / 2, QImage::Format_RGB32);
        shown.fill(kWindow);
        QPainter(&shown).drawImage(shown.rect(), wide.Bitmap()->scaled(shown.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        Save(shown, QStringLiteral("art_wide_logo"));
    }
}

void GSensor() {
    const auto samples = gallery::BrakingRecording();
    const auto load = [&](CGSensorCtrl& g) {
        g.ResetSamples();
        g.SetGRange(gallery::kBrakingRange);
        for (const auto& s : samples) g.AppendSample(s);
        g.SetSampleRate(gallery::kBrakingRatePerMs);
        g.SetCursorTracking(true);
    };
    {
        CGSensorCtrl g;
        g.resize(544, 107);
        Save(g.Render(), QStringLiteral("gsensor_empty"));
    }
    {
        CGSensorCtrl g;
        g.resize(544, 107);
        load(g);
        g.SetPosition(36000);
        Save(g.Render(), QStringLiteral("gsensor_braking"));
        g.SetPosition(0);
        g.SetStopped(true);
        Save(g.Render(), QStringLiteral("gsensor_stopped"));
    }
    {
        CGSensorCtrl g;
        g.resize(780, 200);
        load(g);
        g.SetPosition(36000);
        Save(g.Render(), QStringLiteral("gsensor_braking_large"));
    }
}

// The curve of a real recording, with the cursor on its strongest jolt.
void GSensorOfRecording(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const QSize size : {QSize(544, 107), QSize(780, 200)}) {
        CGSensorCtrl g;
        g.resize(size);
        CRecordingManager manager;
        manager.SetGSensorCurve(&g);
        if (manager.OpenSource(folder, name) != 1 || manager.Entries().empty() || !manager.LoadTelemetry(0) ||
            manager.Track().gsensorStore.empty()) {
            std::fprintf(stderr, "no G-sensor data in %s\n", path.c_str());
            ++g_failures;
            return;
        }
        const auto& raw = manager.Track().gsensorStore;
        std::size_t peak = 0;
        int strongest = -1;
        for (std::size_t i = 0; i + 2 < raw.size(); i += 3) {
            int magnitude = 0;
            for (std::size_t axis = 0; axis < 3; ++axis) magnitude += std::abs(static_cast<int>(static_cast<std::int8_t>(raw[i + axis])));
            if (magnitude > strongest) {
                strongest = magnitude;
                peak = i / 3;
            }
        }
        const std::uint64_t samples = raw.size() / 3;
        g.SetPosition(static_cast<std::uint32_t>(peak * manager.Entries()[0].info.durationMs / samples));
        Save(g.Render(), size.width() == 544 ? QStringLiteral("gsensor_recording") : QStringLiteral("gsensor_recording_large"));
    }
}

void Speed() {
    for (int metric = 0; metric < 2; ++metric) {
        auto host = Host(QSize(90, 34));
        auto* speed = new CSpeedLabelStatic(host.get());
        speed->resize(90, 34);
        speed->SetSpeed(87);
        if (metric == 0) {
            // Switch to MPH the way a user does: a click on the read-out.
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(speed, &press);
            QApplication::sendEvent(speed, &release);
        }
        Save(Grab(*host), metric ? QStringLiteral("speed_kmh") : QStringLiteral("speed_mph"));
    }
}

void Compass() {
    auto host = Host(QSize(9 * 40, 40));
    for (unsigned i = 0; i <= 8; ++i) {
        auto* c = new CPngCompassStatic(host.get());
        for (std::uint16_t id = 167; id <= 174; ++id) c->AddImage(id);
        c->setGeometry(static_cast<int>(i) * 40 + 4, 4, 32, 32);
        c->SetImageIndex(i);
    }
    Save(Grab(*host), QStringLiteral("compass_indexes_0_to_8"));
}

void Board() {
    for (int percent : {0, 50, 100}) {
        auto host = Host(QSize(267, 30));
        auto* b = new CStatusBoardStatic(host.get());
        b->resize(267, 30);
        b->SetPatternBitmapId(189);
        b->SetProgress(percent, QString::asprintf("%d %c", percent, '%'));
        Save(Grab(*host), QStringLiteral("board_%1").arg(percent));
    }
}

void Sliders() {
    auto host = Host(QSize(560, 70));
    auto* pos = new CVideoSlider(host.get());
    pos->setGeometry(5, 5, 544, 20);
    pos->SetPos(380);
    auto* vol = new CMySliderControl(host.get());
    vol->setGeometry(279, 40, 80, 20);
    auto* vol2 = new CMySliderControl(host.get());
    vol2->setGeometry(20, 40, 80, 20);
    vol2->SetPos(100);
    Save(Grab(*host), QStringLiteral("sliders"));
}

void Video() {
    auto host = Host(QSize(267, 316));
    auto* v = new CVideoStatic(host.get());
    v->resize(267, 316);
    v->SetCounterVisible(true);
    v->SetCounter(1234);
    Save(Grab(*host), QStringLiteral("video_counter"));
}

void Buttons() {
    struct B { std::uint16_t id; std::uint16_t alt; QSize size; };
    const std::vector<B> buttons = {
        {129, 132, {48, 48}}, {133, 0, {40, 40}}, {136, 0, {40, 40}}, {137, 0, {40, 40}},
        {139, 0, {48, 36}}, {140, 0, {48, 36}}, {138, 0, {48, 36}}, {141, 0, {48, 36}},
        {142, 0, {48, 36}}, {143, 176, {32, 32}}, {145, 0, {32, 32}}, {146, 0, {32, 32}},
        {147, 0, {32, 32}}, {148, 0, {32, 32}}, {151, 0, {25, 25}}, {152, 0, {25, 25}},
        {153, 0, {25, 25}}, {154, 0, {25, 25}}, {188, 0, {32, 32}}, {156, 155, {12, 24}}};
    const std::vector<CGdipButton::Picture> states = {
        CGdipButton::Normal, CGdipButton::Pressed, CGdipButton::Hover, CGdipButton::Grey,
        CGdipButton::AltNormal, CGdipButton::AltPressed, CGdipButton::AltHover};
    const int cell = 56;
    QImage sheet(static_cast<int>(states.size()) * cell, static_cast<int>(buttons.size()) * cell,
                 QImage::Format_RGB32);
    sheet.fill(kWindow);
    QPainter p(&sheet);
    for (std::size_t r = 0; r < buttons.size(); ++r) {
        CGdipButton b;
        b.resize(buttons[r].size);
        b.SetStandardImage(buttons[r].id);
        if (buttons[r].alt != 0) b.SetAlternateImage(buttons[r].alt);
        for (std::size_t c = 0; c < states.size(); ++c) {
            const QImage& pic = b.PreparedPicture(states[c]);
            if (!pic.isNull()) p.drawImage(static_cast<int>(c) * cell + 4, static_cast<int>(r) * cell + 4, pic);
        }
    }
    p.end();
    Save(sheet, QStringLiteral("buttons_states"));
}

// The controls at their places in an 800 x 560 window.
void Window() {
    auto host = Host(QSize(800, 560));
    const int cx = 800, cy = 560;
    auto button = [&](std::uint16_t id, std::uint16_t alt, QRect r) {
        auto* b = new CGdipButton(host.get());
        b->setGeometry(r);
        b->SetStandardImage(id);
        if (alt != 0) b->SetAlternateImage(alt);
        return b;
    };
    button(151, 0, {cx - 32, 2, 25, 25});
    button(152, 0, {cx - 59, 2, 25, 25});
    button(153, 0, {cx - 86, 2, 25, 25});
    button(154, 0, {cx - 113, 2, 25, 25});
    button(188, 0, {cx - 191, 2, 32, 32});
    button(139, 0, {8, cy - 44, 48, 36});
    button(140, 0, {56, cy - 44, 48, 36});
    button(137, 0, {124, cy - 48, 40, 40});
    button(129, 132, {165, cy - 56, 48, 48});
    button(136, 0, {214, cy - 48, 40, 40});
    button(156, 155, {265, cy - 40, 12, 24});
    int x = cx - 195;
    for (int id : {143, 145, 146, 147, 148}) {
        button(static_cast<std::uint16_t>(id), id == 143 ? 176 : 0, {x, cy - 40, 32, 32});
        x += 34;
    }
    auto* vol = new CMySliderControl(host.get());
    vol->setGeometry(279, cy - 36, 80, 20);
    auto* front = new CVideoStatic(host.get());
    front->setGeometry(7, 50, 263, 312);
    auto* rear = new CVideoStatic(host.get());
    rear->setGeometry(274, 50, 273, 312);
    auto* slider = new CVideoSlider(host.get());
    slider->setGeometry(5, 364, 544, 20);
    slider->SetPos(600);
    auto* g = new CGSensorCtrl(host.get());
    g->setGeometry(5, 389, 544, 107);
    const auto samples = gallery::BrakingRecording();
    g->SetGRange(gallery::kBrakingRange);
    for (const auto& s : samples) g->AppendSample(s);
    g->SetSampleRate(gallery::kBrakingRatePerMs);
    g->SetPosition(36000);
    auto* logo = new CPngStatic(host.get());
    logo->setGeometry(8, 4, 40, 40);
    logo->SetImage(157);
    logo->SetActive(1);
    auto* gps = new CPngStatic(host.get());
    gps->setGeometry(cx - 300, 8, 32, 32);
    gps->SetImage(150);
    auto* compass = new CPngCompassStatic(host.get());
    compass->setGeometry(cx - 262, 8, 32, 32);
    for (std::uint16_t id = 167; id <= 174; ++id) compass->AddImage(id);
    auto* speed = new CSpeedLabelStatic(host.get());
    speed->setGeometry(cx - 226, 6, 90, 34);
    speed->SetSpeed(64);
    QImage shot = Grab(*host);
    QPainter p(&shot);
    p.fillRect(QRect(555, 48, 240, 240), QColor(156, 192, 249));
    p.fillRect(QRect(555, 293, 240, 203), QColor(240, 240, 240));
    DrawOutlinedText(p, QStringLiteral("Trivane"), TitleStyle, 0, 0, 24);
    p.end();
    Save(shot, QStringLiteral("window_800x560"));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: trivane-gallery <output dir> [recording]\n");
        return 2;
    }
    g_out = QDir(QString::fromLocal8Bit(argv[1]));
    if (!g_out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    InitArtResources();
    ArtSheet();
    GSensor();
    if (argc == 3) GSensorOfRecording(argv[2]);
    Speed();
    Compass();
    Board();
    Sliders();
    Video();
    Buttons();
    Window();
    return g_failures == 0 ? 0 : 1;
}
