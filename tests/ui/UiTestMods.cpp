#include "tests/ui/UiTestMods.h"

#include "library/catalogue/Constants.h"
#include "library/platform/PathText.h"
#include "tests/support/TempDir.h"

#include <QDir>

#include <cstdlib>

std::filesystem::path writeTestMod(const std::filesystem::path &modsFolder, const TestMod &mod)
{
    std::string text = "local self_ID = \"" + mod.selfId + "\"\n";
    text += "declare_plugin(self_ID,\n{\n";
    if (!mod.developerName.empty())
        text += "\tdeveloperName = _(\"" + mod.developerName + "\"),\n";
    if (!mod.displayName.empty())
        text += "\tdisplayName = _(\"" + mod.displayName + "\"),\n";
    if (!mod.shortName.empty())
        text += "\tshortName = \"" + mod.shortName + "\",\n";
    if (!mod.version.empty())
        text += "\tversion = \"" + mod.version + "\",\n";
    text += "})\nplugin_done()\n";
    // The names are UTF-8, which a narrow path on Windows would not assume.
    std::filesystem::path folder = modsFolder / mod.category / pathFromUtf8(mod.folder);
    if (!mod.enabled)
        folder /= kStorageFolderName;
    const std::filesystem::path entry = folder / kEntryFileName;
    writeFile(entry, text);
    return entry;
}

void saveScreenshot(const QImage &image, const QString &name)
{
    const QString directory = qEnvironmentVariable("TESSEL3_SCREENSHOT_DIR");
    if (directory.isEmpty())
        return;
    QDir().mkpath(directory);
    image.save(QDir(directory).filePath(name + QStringLiteral(".png")));
}

bool hasPixelNear(const QImage &image, const QRect &area, const QColor &colour, int tolerance)
{
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance)
                return true;
        }
    return false;
}

double shareOfHue(const QImage &image, const QRect &area, const QColor &colour, int hueTolerance)
{
    const QRect inside = area.intersected(image.rect());
    if (inside.isEmpty())
        return 0;
    int matching = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y).toHsv();
            if (pixel.hsvSaturation() >= 100 && pixel.value() >= 150 &&
                std::abs(pixel.hsvHue() - colour.hsvHue()) <= hueTolerance)
                ++matching;
        }
    return double(matching) / (double(inside.width()) * double(inside.height()));
}
