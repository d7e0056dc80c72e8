-- flight model and loadout table of the Kestrel K-1
local kestrel = {
	Name        = "Kestrel-K1",
	DisplayName = _("Kestrel K-1"),
	M_empty     = 3120,
	M_nominal   = 4300,
	M_max       = 5600,
	V_max_sea_level = 240,
	H_max       = 12500,
}
add_aircraft(kestrel)
