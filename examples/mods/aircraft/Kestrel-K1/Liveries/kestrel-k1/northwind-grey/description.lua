livery = {
	{"kestrel_fuselage", 0, "kestrel_fuselage_grey", false},
	{"kestrel_wings", 0, "kestrel_wings_grey", false},
}
name = "Northwind Grey"
countries = nil
