#include "platform/runtime/ClassRegistry.h"

#include "platform/runtime/Operation.h"

#include <gtest/gtest.h>

// Nothing in this program refers to the core's registered classes by type: they are reached only by
// name, so this checks that the static library still links and registers them.

namespace tavrel {

class LocalProbe : public QObject
{
    Q_OBJECT
};

TAVREL_REGISTER_CLASS(LocalProbe)

} // namespace tavrel

using tavrel::ClassRegistry;

TEST(ClassRegistry, CoreClassesAreRegisteredThroughTheStaticLibrary)
{
    ClassRegistry& registry = ClassRegistry::instance();
    ASSERT_TRUE(registry.hasClass(QStringLiteral("BlockOperation")))
        << registry.classNames().join(u',').toStdString();
    EXPECT_TRUE(registry.classInherits<tavrel::Operation>(QStringLiteral("BlockOperation")));
    auto made = registry.make<tavrel::Operation>(QStringLiteral("BlockOperation"));
    ASSERT_TRUE(made);
    EXPECT_STREQ(made->metaObject()->className(), "tavrel::BlockOperation");
    made->start();
    EXPECT_TRUE(made->isFinished());
}

TEST(ClassRegistry, ProgramClassesRegisterThemselvesAndUnknownNamesMakeNothing)
{
    ClassRegistry& registry = ClassRegistry::instance();
    EXPECT_TRUE(registry.hasClass(QStringLiteral("LocalProbe")));
    EXPECT_TRUE(registry.make(QStringLiteral("LocalProbe")));
    // Exists, but is not an operation.
    EXPECT_FALSE(registry.make<tavrel::Operation>(QStringLiteral("LocalProbe")));
    EXPECT_FALSE(registry.classInherits<tavrel::Operation>(QStringLiteral("LocalProbe")));

    EXPECT_FALSE(registry.hasClass(QStringLiteral("TQdmhNoSuchOperation")));
    EXPECT_EQ(registry.make(QStringLiteral("TQdmhNoSuchOperation")), nullptr);
    EXPECT_EQ(registry.metaObjectForClass(QStringLiteral("")), nullptr);
}

#include "ClassRegistryTest.moc"
