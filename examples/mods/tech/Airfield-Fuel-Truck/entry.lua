declare_plugin("airfield-fuel-truck",
{
	installed     = true,
	dirName       = current_mod_path,
	developerName = "Groundwork",
	displayName   = "Airfield Fuel Truck",
	version       = "1.0.0",
	state         = "installed",
})

GT = {}
GT.Name = "Airfield Fuel Truck"
GT.DisplayName = _("Airfield Fuel Truck")
GT.fuel_capacity = 12000
add_surface_unit(GT)

plugin_done()
