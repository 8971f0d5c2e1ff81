// Private messages posted to an object through the event queue.
#include "platform/privatemessages.h"

#include "platform/core/exceptions.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

constexpr int SelectionCode = 0xB101;
constexpr int ResizeCode = 0xB100;
using Received = std::tuple<int, intptr_t, intptr_t>;

// Keeps every private message it is sent, in order of arrival.
class Receiver : public QObject
{
public:
    std::vector<Received> got;

protected:
    bool event(QEvent* e) override
    {
        for (int code : {SelectionCode, ResizeCode}) {
            if (IsPrivateMessage(e, code)) {
                const auto* m = static_cast<const TPrivateMessage*>(e);
                got.emplace_back(m->Code(), m->WParam(), m->LParam());
                return true;
            }
        }
        return QObject::event(e);
    }
};

TEST(PrivateMessages, ArriveOnlyWhenTheEventLoopRuns)
{
    Receiver r;
    const intptr_t big = static_cast<intptr_t>(1) << 40;
    PostPrivateMessage(&r, ResizeCode, 7, 7);
    PostPrivateMessage(&r, SelectionCode);
    EXPECT_TRUE(r.got.empty()) << "posting must not deliver at once";
    QCoreApplication::sendPostedEvents(&r);
    EXPECT_EQ(r.got, (std::vector<Received>{{ResizeCode, 7, 7}, {SelectionCode, 0, 0}}));

    PostPrivateMessage(&r, SelectionCode, -1, big);
    EXPECT_EQ(r.got.size(), 2u);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(r.got.size(), 3u) << "delivered once";
    EXPECT_EQ(r.got.back(), Received(SelectionCode, -1, big));
}

TEST(PrivateMessages, RecognisedByCodeAndKind)
{
    TPrivateMessage m(SelectionCode, 1, 2);
    EXPECT_TRUE(IsPrivateMessage(&m, SelectionCode));
    EXPECT_FALSE(IsPrivateMessage(&m, ResizeCode));
    EXPECT_FALSE(IsPrivateMessage(nullptr, SelectionCode));
    // A plain event that merely has the same number carries no parameters.
    QEvent plain(static_cast<QEvent::Type>(SelectionCode));
    EXPECT_FALSE(IsPrivateMessage(&plain, SelectionCode));
}

TEST(PrivateMessages, BadCodeOrReceiverIsRefusedAndNothingIsQueued)
{
    Receiver r;
    EXPECT_THROW(PostPrivateMessage(&r, QEvent::Paint), Exception);
    EXPECT_THROW(PostPrivateMessage(&r, QEvent::MaxUser + 1), Exception);
    EXPECT_THROW(PostPrivateMessage(nullptr, SelectionCode), Exception);
    EXPECT_THROW(TPrivateMessage(QEvent::User - 1, 0, 0), Exception);
    QCoreApplication::sendPostedEvents(&r);
    EXPECT_TRUE(r.got.empty());
}

} // namespace
