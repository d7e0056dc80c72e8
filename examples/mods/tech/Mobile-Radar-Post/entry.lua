local self_ID = "mobile-radar-post"

declare_plugin(self_ID,
{
	installed     = true,
	dirName       = current_mod_path,
	developerName = _("Groundwork"),
	displayName   = _("Mobile Radar Post"),
	shortName     = "MRP",
	version       = "3.1.0",
	state         = "installed",
	info          = _("A towed surveillance radar with its generator and crew tent."),
})

dofile(current_mod_path .. "/Database/mobile_radar_post.lua")

plugin_done()
