declare_plugin("vireo-vt4",
{
	installed     = true,
	dirName       = current_mod_path,
	developerName = "Стрижов",
	displayName   = "Vireo VT-4 教练机",
	shortName     = "VT-4",
	version       = 2.0.1,
	state         = "installed",
	info          = _("Turboprop primary trainer with tandem seating."),
})

mount_vfs_model_path(current_mod_path .. "/Shapes")
dofile(current_mod_path .. "/Cockpit/Scripts/device_init.lua")

plugin_done()
