#include "platform/runtime/Error.h"

#include <gtest/gtest.h>

using tavrel::Error;

TEST(ErrorTest, NullAndDescriptions)
{
    EXPECT_TRUE(Error().isNull());
    Error e(QStringLiteral("D"), 7, {{Error::kLocalizedDescriptionKey, QStringLiteral("Broken")}});
    EXPECT_FALSE(e.isNull());
    EXPECT_EQ(e.localizedDescription(), QStringLiteral("Broken"));
    EXPECT_TRUE(Error(QStringLiteral("D"), 7).localizedDescription().contains(QStringLiteral("D error 7")));
}

TEST(ErrorTest, RewrappingKeepsOnlyTheTexts)
{
    const Error batch(QStringLiteral("rez.uzorevuza.GDManagerErrorDomain"), 603,
                      {{Error::kLocalizedDescriptionKey, QStringLiteral("Some failed")},
                       {Error::kLocalizedRecoverySuggestionKey, QStringLiteral("Try again")},
                       {QStringLiteral("17"), QStringLiteral("Conflict")}});
    const Error mapped =
        Error::errorWithError(batch, QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz"), 704);
    EXPECT_EQ(mapped.domain(), QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz"));
    EXPECT_EQ(mapped.code(), 704);
    EXPECT_EQ(mapped.userInfo(),
              (QVariantMap{{Error::kLocalizedDescriptionKey, QStringLiteral("Some failed")},
                           {Error::kLocalizedRecoverySuggestionKey, QStringLiteral("Try again")}}));

    EXPECT_TRUE(Error::errorWithError(Error(), QStringLiteral("D"), 1).isNull());
    EXPECT_EQ(Error::errorWithError(batch, QString(), 1), batch);

    const Error described = Error::errorWithError(batch, QStringLiteral("Unexpected"));
    EXPECT_EQ(described.code(), 603);
    EXPECT_EQ(described.localizedDescription(), QStringLiteral("Unexpected"));
    EXPECT_EQ(described.userInfo().value(QStringLiteral("17")).toString(), QStringLiteral("Conflict"));
    EXPECT_EQ(Error::errorWithError(batch, QString()), batch);
    EXPECT_TRUE(Error::errorWithError(Error(), QString()).isNull());
    EXPECT_TRUE(Error::errorWithError(Error(), QStringLiteral("x")).isNull());
}
