#pragma once

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QTranslator;

// The clock in the user's language: its own catalog and the toolkit's, put
// into the running application for as long as this object lives. The texts
// are written in Portuguese, which needs no catalog of the clock's.
class TTranslations
{
public:
    // The languages the clock speaks: the source language first, then one per catalog.
    static std::vector<std::string> Offered();
    // The one the user's environment asks for, else the source language.
    static std::string Chosen();

    // Make after the application object, before any window.
    explicit TTranslations(const std::string& Language);
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    const std::string& Language() const { return FLanguage; }

private:
    std::string FLanguage;
    std::unique_ptr<QTranslator> FClock;
    std::unique_ptr<QTranslator> FToolkit;
};

// A text of the default configuration document (a menu item, a window's
// caption) in the clock's language. A publisher's own texts stay as written.
QString DocumentText(const QString& Text);
QString DocumentText(const std::string& Text);
