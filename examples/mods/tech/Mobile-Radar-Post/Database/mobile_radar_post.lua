GT = {}
GT.Name = "Mobile Radar Post"
GT.DisplayName = _("Mobile Radar Post")
GT.sensor = { max_range_finding_target = 90000, min_range_finding_target = 200 }
add_surface_unit(GT)
