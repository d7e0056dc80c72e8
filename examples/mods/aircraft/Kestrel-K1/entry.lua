-- Kestrel K-1 light trainer
local self_ID = "kestrel-k1"

declare_plugin(self_ID,
{
	image         = "FC3.bmp",
	installed     = true,
	dirName       = current_mod_path,
	developerName = _("Northwind"),
	displayName   = _("Kestrel K-1"),
	shortName     = "K-1",
	fileMenuName  = _("Kestrel K-1"),
	version       = "1.4.2",
	state         = "installed",
	info          = _("A light two-seat jet trainer with a glass cockpit and a forgiving stall."),
	binaries      = {},
	Skins = {
		{ name = _("Kestrel K-1"), dir = "Skins/1" },
	},
	Missions = {
		{ name = _("Kestrel K-1"), dir = "Missions" },
	},
})

mount_vfs_model_path(current_mod_path .. "/Shapes")
mount_vfs_liveries_path(current_mod_path .. "/Liveries")

dofile(current_mod_path .. "/Kestrel-K1.lua")

plugin_done()
