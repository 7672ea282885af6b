#include "app/CDropOpener.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace trivane {
namespace {

class DropOpenerTest : public ::testing::Test {
protected:
    DropOpenerTest()
    {
        CDropOpener::Install(window_, [this](const std::string& path) { opened_.push_back(path); });
    }

    // A drag over the window, then the drop; both events' acceptance and the action taken.
    struct Outcome {
        bool enterAccepted;
        bool dropAccepted;
        Qt::DropAction action;
    };
    Outcome DragAndDrop(const QMimeData& data, Qt::DropActions actions, Qt::KeyboardModifiers modifiers = {})
    {
        QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(&window_, &enter);
        QDropEvent drop(QPointF(5, 5), actions, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(&window_, &drop);
        return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
    }

    static QMimeData* Urls(const QStringList& urls)
    {
        auto* data = new QMimeData;
        QList<QUrl> list;
        for (const QString& url : urls) list.append(QUrl(url));
        data->setUrls(list);
        return data;
    }

    QWidget window_;
    std::vector<std::string> opened_;
};

TEST_F(DropOpenerTest, FirstLocalFileOpensAfterTheDropAsACopy)
{
    EXPECT_TRUE(window_.acceptDrops());
    const std::unique_ptr<QMimeData> data(Urls({QStringLiteral("https://example.org/a.MOV"),
        QStringLiteral("file:///cards/Fahrt%20M%C3%A4rz"), QStringLiteral("file:///cards/second.AVI")}));
    // Shift proposes a move: taken as a copy all the same, so the source keeps its files.
    const Outcome outcome = DragAndDrop(*data, Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier);
    EXPECT_TRUE(outcome.enterAccepted);
    EXPECT_TRUE(outcome.dropAccepted);
    EXPECT_EQ(outcome.action, Qt::CopyAction);
    // Opened once the drop is over, not inside it.
    EXPECT_TRUE(opened_.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(opened_, std::vector<std::string>{"/cards/Fahrt M\xC3\xA4rz"});
}

TEST_F(DropOpenerTest, OtherDropsDoNothing)
{
    const std::unique_ptr<QMimeData> web(Urls({QStringLiteral("https://example.org/a.MOV")}));
    const std::unique_ptr<QMimeData> remote(Urls({QStringLiteral("file://server/share/a.MOV")}));
    const std::unique_ptr<QMimeData> local(Urls({QStringLiteral("file:///cards/a.MOV")}));
    const std::unique_ptr<QMimeData> text(new QMimeData);
    text->setText(QStringLiteral("/cards/a.MOV"));

    for (const QMimeData* data : {web.get(), remote.get(), text.get()}) {
        const Outcome outcome = DragAndDrop(*data, Qt::CopyAction);
        EXPECT_FALSE(outcome.enterAccepted);
        EXPECT_FALSE(outcome.dropAccepted);
    }
    // A source that offers only a move would delete the file once the drop is accepted.
    EXPECT_FALSE(DragAndDrop(*local, Qt::MoveAction).dropAccepted);
    QCoreApplication::processEvents();
    EXPECT_TRUE(opened_.empty());
}

}  // namespace
}  // namespace trivane
