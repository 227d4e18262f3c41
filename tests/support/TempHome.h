#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel::test {

// Points HOME, TMPDIR and every XDG_* folder at a fresh temporary folder, so that nothing a test does
// reaches the real home. Restores nothing: the next TempHome replaces it.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    QString path() const;
    QString dataHome() const;   // XDG_DATA_HOME
    QString configHome() const; // XDG_CONFIG_HOME
    QString stateHome() const;  // XDG_STATE_HOME
    QString cacheHome() const;  // XDG_CACHE_HOME

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Base fixture for tests that write settings, logs or stores.
class TempHomeTest : public ::testing::Test
{
protected:
    void SetUp() override { m_home = std::make_unique<TempHome>(); }
    void TearDown() override { m_home.reset(); }
    TempHome& home() { return *m_home; }

private:
    std::unique_ptr<TempHome> m_home;
};

} // namespace tavrel::test
