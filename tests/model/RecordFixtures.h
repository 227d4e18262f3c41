#pragma once

#include "StoreFixture.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "support/TestData.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tavrel::test {

// Feeds written after recorded answers of the service (tests/data/records).
inline GDataFeedPtr loadRecordsFeed(const char* name, GDataObjectFactory::FeedHint hint)
{
    QFile file(testDataDir() + QStringLiteral("/records/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << name;
        return nullptr;
    }
    Error error;
    auto feed = std::dynamic_pointer_cast<GDataFeedBase>(
        GDataObjectFactory::objectWithXMLData(file.readAll(), &error, hint));
    EXPECT_TRUE(feed) << error.description().toStdString();
    return feed;
}

// A fresh copy of one entry of a feed, by resource id (documents) or by the end of its id (contacts).
inline GDataEntryPtr entryOf(const GDataFeedPtr& feed, const QString& key)
{
    if (!feed)
        return nullptr;
    for (const GDataEntryPtr& entry : feed->entries()) {
        const auto doc = std::dynamic_pointer_cast<GDataEntryDocBase>(entry);
        if ((doc && doc->resourceID() == key) ||
            (!doc && entry->identifier().endsWith(QLatin1Char('/') + key)))
            return std::dynamic_pointer_cast<GDataEntryBase>(entry->copyObject());
    }
    ADD_FAILURE() << "no entry " << key.toStdString();
    return nullptr;
}

// An entry parsed from text (a variant of a fixture entry).
inline GDataEntryPtr entryFromText(const QString& text)
{
    auto entry = GDataObjectFactory::entryWithXMLString(text);
    EXPECT_TRUE(entry) << text.toStdString();
    return entry;
}

} // namespace tavrel::test
