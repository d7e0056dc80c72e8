-- Albatross A-9 amphibian; kept disabled in the demo
local self_ID = "albatross-a9"

declare_plugin(self_ID,
{
	installed     = true,
	dirName       = current_mod_path,
	developerName = _("Harbourlight"),
	displayName   = _("Albatross A-9"),
	shortName     = "A-9",
	version       = "0.9.7-beta",
	state         = "installed",
	info          = _("A twin-engine amphibian for maritime patrol and rescue."),
})

mount_vfs_model_path(current_mod_path .. "/Shapes")

plugin_done()
