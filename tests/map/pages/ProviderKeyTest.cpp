// A key from the page's query reaches the provider's script URL only when it is plain key
// characters: anything else could change the URL (another callback, parameter or host).
#include "PageView.h"

#include <QUrl>

#include <gtest/gtest.h>

namespace trivane {
namespace {

using test::PageView;

struct Provider {
    QString page;
    QString parameter;
    QString host;
    QString urlBeforeKey;
    QString urlAfterKey;
};

QString ProviderScripts(PageView& page, const QString& host)
{
    return page
        .Eval(QStringLiteral("Array.from(document.scripts).map(function (s) { return s.src; })"
                             ".filter(function (s) { return s.indexOf('%1') >= 0; }).join(' ')")
                  .arg(host))
        .toString();
}

TEST(ProviderKey, OnlyPlainKeysReachTheScriptUrl)
{
    const Provider providers[] = {
        {QStringLiteral("gmap.html"), QStringLiteral("key"), QStringLiteral("maps.googleapis.com"),
         QStringLiteral("https://maps.googleapis.com/maps/api/js?v=3.37&key="), QStringLiteral("&callback=trivaneGoogleReady")},
        {QStringLiteral("BMap.html"), QStringLiteral("ak"), QStringLiteral("api.map.baidu.com"),
         QStringLiteral("https://api.map.baidu.com/api?v=3&ak="), QStringLiteral("&callback=initialize")}};
    // Percent-encoded in the query, so the page sees them as the key's own characters.
    const QString badKeys[] = {QStringLiteral("abc\"def"), QStringLiteral("abc&callback=evil"), QStringLiteral("<abc>"),
                               QStringLiteral("abc'def"), QStringLiteral("abc def"), QString(129, QLatin1Char('a'))};
    for (const Provider& provider : providers) {
        SCOPED_TRACE(provider.page.toStdString());
        for (const QString& key : badKeys) {
            SCOPED_TRACE(key.toStdString());
            PageView page(provider.page + QLatin1Char('?') + provider.parameter + QLatin1Char('=') +
                          QString::fromLatin1(QUrl::toPercentEncoding(key)));
            ASSERT_TRUE(page.Loaded());
            EXPECT_EQ(ProviderScripts(page, provider.host), QString());
        }
        const QString good = QString(128, QLatin1Char('k')).replace(0, 7, QStringLiteral("AIza_9-"));
        PageView page(provider.page + QLatin1Char('?') + provider.parameter + QLatin1Char('=') + good);
        ASSERT_TRUE(page.Loaded());
        EXPECT_EQ(ProviderScripts(page, provider.host), provider.urlBeforeKey + good + provider.urlAfterKey);
    }
}

}  // namespace
}  // namespace trivane
