#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <filesystem>
#include <string>

// One mod to write into a mods folder for the interface tests.
struct TestMod
{
    std::string category; // "aircraft" or "tech"
    std::string folder;
    std::string selfId;
    std::string displayName;
    std::string shortName;
    std::string developerName;
    std::string version;
    bool enabled = true;
};

// Writes the mod's entry.lua into its folder, or into the storage folder when disabled;
// returns the entry file's path.
std::filesystem::path writeTestMod(const std::filesystem::path &modsFolder, const TestMod &mod);

// Saves the image as <name>.png into $TESSEL3_SCREENSHOT_DIR, when that is set.
void saveScreenshot(const QImage &image, const QString &name);

// The share of the rectangle's pixels that are strongly coloured in the hue of the
// colour, give or take `hueTolerance` degrees: a shaded button fill keeps its hue.
double shareOfHue(const QImage &image, const QRect &area, const QColor &colour, int hueTolerance);

// True when some pixel inside the rectangle is within `tolerance` of the colour in each channel.
bool hasPixelNear(const QImage &image, const QRect &area, const QColor &colour, int tolerance);
