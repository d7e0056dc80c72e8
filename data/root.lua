-- tessel3 settings: the interface language (EN, CN or RU) and the mods directory.
local Language = "EN"
local DIRECTORY = ""
